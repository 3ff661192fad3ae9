#include "ui/help.h"

namespace arrivals {

namespace {

constexpr std::string_view kHelp =
    R"(Each packet is a red marker that slides along the track at the top; the counter at the track's left end counts the packets of the run.

Controls
- The process box (top left) chooses how the gaps between packets fall: Poisson, Regular, Uniform, Pareto 0.1, Pareto 0.2, Pareto 0.5 or Cantor. Choosing another process clears the counter and the graphs; a run goes on.
- Start starts a new run from 0 packets and then reads Stop, which ends the run.
- Pause holds the run and then reads Cont, which continues it.
- The rate box (pkts/s) sets the mean rate in packets per second, 0 to 10. Type a point, not a comma: the box reads "2,5" as 2. A rate outside 0 to 10 is replaced by the last one accepted.
- Quelva and Pkts/Sec choose the view of the graphs per 3 s and per 10 s: Quelva shows them as time series, Pkts/Sec as histograms.

Graphs
The graphs are redrawn every 3 seconds of the run. They have no numeric scale: the tallest bar stands for the largest count and the others are in proportion; p(x) marks a graph of how often each value occurred.
- Pkts Per Sec: how many seconds had 0, 1, 2 ... 7 packets.
- Interarrival Times: how many gaps between packets lasted 0 to 0.25 s, 0.25 to 0.5 s, and so on up to 3.5 s (sec: seconds).
- Quelva per 3 s, Quelva per 10 s: the packet counts of the last 23 windows of 3 or 10 seconds, the newest on the right.
- Packets per 3 s, Packets per 10 s: how many windows of 3 or 10 seconds had each count of packets (per 10 s in bins of two counts).

A red process name
A Pareto process cannot make packets at the rate whose mean gap equals its shortest gap: Pareto 0.1 at 10, Pareto 0.2 at 5 and Pareto 0.5 at 2 packets a second. Its name then turns red, and black again once the run asks for a packet at another rate or with another process.

Keys
- F1 shows this help.
- F2 reads the state of the run: process, rate, running, paused or stopped, packets and seconds.
- Tab moves from control to control.

A live run follows the clock: a hidden browser tab or a sleeping screen slows it down, and it goes on from where it was.

The guide that comes with the program explains the processes and suggests experiments to try. It is index.html in the course folder, which also holds the browser edition, a handout for students and the scripts of the experiments; open it in any browser.)";

} // namespace

std::string HelpText(std::string_view version) {
  std::string text = "Arrivals ";
  text += version;
  text += "\n\n";
  text += kHelp;
  return text;
}

} // namespace arrivals
