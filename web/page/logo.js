// The wordmark, drawn from its vector form: crisp at every scale. `x`, `y`
// is its box's corner in CSS pixels, `d` rounds CSS pixels to device ones.
'use strict';
// eslint-disable-next-line no-unused-vars
const ArrivalsLogo = (() => {
  function paint(ctx, k, d, x, y) {
    ctx.save();
    ctx.translate(d(x), d(y));
    ctx.scale(k, k);
    ctx.fillStyle = 'rgb(44,44,150)';
    ctx.font = 'bold 40px "Liberation Serif", "Times New Roman", Times, serif';
    ctx.textBaseline = 'middle';
    ctx.fillText('Arrivals', 6, 27);
    ctx.fillRect(178, 31, 106, 1.6);
    ctx.beginPath();
    ctx.moveTo(294, 31.8); ctx.lineTo(282, 26.5); ctx.lineTo(282, 37.1);
    ctx.fill();
    for (const t of [186, 201, 207, 234, 261]) ctx.fillRect(t, 19, 1.6, 12);
    ctx.restore();
  }
  return { paint };
})();
