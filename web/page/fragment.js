// The URL's fragment: NAME=VALUE pairs separated by "&", each VALUE the
// percent-encoded bytes of a seed, a script or the bare flag.
'use strict';
// eslint-disable-next-line no-unused-vars
const ArrivalsFragment = (() => {
  const encoder = new TextEncoder();
  const NAMES = ['seed', 'script', 'bare'];

  // Each VALUE percent-decoded into bytes and nothing else, for the NAMEs
  // in `names`. Throws a one-line message for bad percent-encoding.
  function read(hash, names = NAMES) {
    const out = {};
    const text = hash.startsWith('#') ? hash.slice(1) : hash;
    if (text === '') return out;
    for (const pair of text.split('&')) {
      const eq = pair.indexOf('=');
      if (eq < 0) continue;
      const name = pair.slice(0, eq);
      if (!names.includes(name)) continue;
      out[name] = decode(name, pair.slice(eq + 1));
    }
    return out;
  }

  function decode(name, value) {
    // The fragment is ASCII as the browser keeps it; anything else is
    // taken as its UTF-8 bytes.
    const src = encoder.encode(value);
    const out = new Uint8Array(src.length);
    let n = 0;
    const hex = (c) => (c >= 48 && c <= 57) ? c - 48
      : (c >= 65 && c <= 70) ? c - 55 : (c >= 97 && c <= 102) ? c - 87 : -1;
    for (let i = 0; i < src.length; ++i) {
      if (src[i] !== 37) { out[n++] = src[i]; continue; }
      const hi = i + 1 < src.length ? hex(src[i + 1]) : -1;
      const lo = i + 2 < src.length ? hex(src[i + 2]) : -1;
      if (hi < 0 || lo < 0)
        throw new Error(`${name}=: bad percent-encoding at character ${i + 1}`);
      out[n++] = hi * 16 + lo;
      i += 2;
    }
    return out.subarray(0, n);
  }

  // Bytes as a VALUE: unreserved characters as they are, every other byte
  // as %XX, so that the link survives any mail or chat.
  function encode(bytes) {
    const parts = [];
    for (const b of bytes) {
      const unreserved = (b >= 48 && b <= 57) || (b >= 65 && b <= 90) ||
        (b >= 97 && b <= 122) || b === 45 || b === 46 || b === 95 || b === 126;
      parts.push(unreserved ? String.fromCharCode(b)
        : '%' + b.toString(16).toUpperCase().padStart(2, '0'));
    }
    return parts.join('');
  }

  return { read, encode };
})();
