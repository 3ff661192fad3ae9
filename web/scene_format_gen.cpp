// Writes the scene's format (web/scene_format.h) for the page and its tests:
//
//   scene_format_gen json FILE   the format as JSON
//   scene_format_gen js FILE     the same as a script that defines SceneFormat
//
// A field's name means one place in every kind that has it, so that the
// page reads `n[at + F.x]` whatever the kind.

#include <cstdio>
#include <string>
#include <string_view>

#include "web/scene_format.h"

namespace arrivals::scene {
namespace {

constexpr bool FieldsAgree() {
  for (const KindFormat &a : kKinds)
    for (const KindFormat &b : kKinds)
      for (std::size_t i = 0; i < FieldCount(a.fields); ++i) {
        const std::size_t j = IndexOf(b.fields, a.fields[i]);
        if (j != kMaxFields && j != i)
          return false;
      }
  return true;
}
static_assert(FieldsAgree(), "a field's name must mean one place");

void Names(std::string &out, const Fields &f) {
  out += '{';
  for (std::size_t i = 0; i < FieldCount(f); ++i) {
    if (i > 0)
      out += ", ";
    out += '"';
    out += f[i];
    out += "\": " + std::to_string(i);
  }
  out += '}';
}

std::string Json() {
  std::string out = "{\n  \"kind\": {";
  for (const KindFormat &k : kKinds) {
    if (k.kind != Kind::Rect)
      out += ", ";
    out += '"';
    out += k.name;
    out += "\": " + std::to_string(static_cast<int>(k.kind));
  }
  out += "},\n  \"layer\": {\"still\": " +
         std::to_string(static_cast<int>(Layer::Still)) +
         ", \"moving\": " + std::to_string(static_cast<int>(Layer::Moving)) +
         "},\n  \"size\": {";
  for (const KindFormat &k : kKinds) {
    if (k.kind != Kind::Rect)
      out += ", ";
    out += '"' + std::to_string(static_cast<int>(k.kind)) +
           "\": " + std::to_string(SizeOf(k.kind));
  }
  out += "},\n  \"field\": {";
  std::string seen = " ";
  for (const KindFormat &k : kKinds)
    for (std::size_t i = 0; i < FieldCount(k.fields); ++i) {
      const std::string name(k.fields[i]);
      if (seen.find(" " + name + " ") != std::string::npos)
        continue;
      seen += name + " ";
      if (seen.size() > name.size() + 2)
        out += ", ";
      out += '"' + name + "\": " + std::to_string(i);
    }
  out += "},\n  \"change\": ";
  Names(out, kChangeFields);
  out += ",\n  \"changeSize\": " + std::to_string(FieldCount(kChangeFields)) +
         ",\n  \"frame\": ";
  Names(out, kFrameFields);
  out += ",\n  \"frameSize\": " + std::to_string(FieldCount(kFrameFields)) +
         ",\n  \"startFlag\": ";
  Names(out, kStartFlags);
  out += ",\n  \"event\": ";
  Names(out, kEvents);
  out += ",\n  \"trace\": ";
  Names(out, kTraceOps);
  out += ",\n  \"take\": ";
  Names(out, kTakes);
  out += ",\n  \"reply\": ";
  Names(out, kReplyFields);
  out += ",\n  \"colour\": {";
  for (const Colour &c : kColours) {
    if (c.name != kColours.front().name)
      out += ", ";
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%06x", c.rgb);
    out += '"';
    out += c.name;
    out += "\": \"";
    out += hex;
    out += '"';
  }
  out += "}\n}\n";
  return out;
}

} // namespace
} // namespace arrivals::scene

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fputs("usage: scene_format_gen json|js FILE\n", stderr);
    return 2;
  }
  const std::string_view what = argv[1];
  std::string text = arrivals::scene::Json();
  if (what == "js")
    text = "// Made from web/scene_format.h when the page is built: do not "
           "edit.\n'use strict';\n// eslint-disable-next-line "
           "no-unused-vars\nconst SceneFormat = Object.freeze(" +
           text.substr(0, text.size() - 1) + ");\n";
  else if (what != "json") {
    std::fputs("scene_format_gen: json or js\n", stderr);
    return 2;
  }
  std::FILE *f = std::fopen(argv[2], "wb");
  if (f == nullptr ||
      std::fwrite(text.data(), 1, text.size(), f) != text.size() ||
      std::fclose(f) != 0) {
    std::perror(argv[2]);
    return 1;
  }
  return 0;
}
