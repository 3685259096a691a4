// Windows-1252, the code page of the scenario's text files, both ways, and
// the reading of an author's file: UTF-8 is recognised and converted.

// Windows-1252 is Latin-1 but for 0x80 to 0x9F, which hold these (the five
// bytes the code page leaves undefined stand for the C1 controls of their
// own number). Spelt out here: some decoders read the label as Latin-1.
const alti = [
  0x20ac, 0x81, 0x201a, 0x192, 0x201e, 0x2026, 0x2020, 0x2021, 0x2c6, 0x2030, 0x160, 0x2039, 0x152, 0x8d, 0x17d, 0x8f,
  0x90, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014, 0x2dc, 0x2122, 0x161, 0x203a, 0x153, 0x9d, 0x17e, 0x178,
];
const caratteri = Array.from({ length: 256 }, (_, b) => String.fromCharCode(b >= 0x80 && b < 0xa0 ? alti[b - 0x80] : b));
const tabella = new Map();  // character -> byte
caratteri.forEach((c, b) => tabella.set(c, b));
// A text read byte for byte as Latin-1 holds the C1 controls U+0080 to
// U+009F where Windows-1252 has its letters and signs: each goes back to its
// own byte, so that no byte of such a text is lost.
for (let b = 0x80; b < 0xa0; b++) if (!tabella.has(String.fromCharCode(b))) tabella.set(String.fromCharCode(b), b);

export function da_1252(byte) {
  let s = '';
  for (let i = 0; i < byte.length; i += 8192)
    s += String.fromCharCode(...Array.from(byte.subarray(i, i + 8192), (b) => caratteri[b].charCodeAt(0)));
  return s;
}

// The bytes of testo in Windows-1252. A character the code page lacks
// becomes "?" and is counted in mancanti, with its first place.
export function in_1252(testo) {
  const out = new Uint8Array(testo.length);
  let n = 0;
  let mancanti = 0;
  let primo = -1;
  for (const c of testo) {
    const b = tabella.get(c);
    if (b === undefined) {
      if (primo < 0) primo = n;
      mancanti++;
    }
    out[n++] = b === undefined ? 0x3f : b;
  }
  return { byte: out.subarray(0, n), mancanti, primo };
}

// An author's file as text: Windows-1252, unless every byte above 0x7f
// belongs to a well-formed UTF-8 sequence, as in a file saved by an editor
// that writes UTF-8; then it is read as UTF-8 (byte-order mark dropped).
export function leggi_testo(byte) {
  const alti = byte.some((b) => b >= 0x80);
  if (alti) {
    try {
      let testo = new TextDecoder('utf-8', { fatal: true }).decode(byte);
      if (testo.startsWith('\ufeff')) testo = testo.slice(1);
      return { testo, utf8: true };
    } catch (_) {
      // not UTF-8: the format's own code page
    }
  }
  return { testo: da_1252(byte), utf8: false };
}

// The text as the file holds it: Windows-1252, CR LF after every line.
export function per_file(testo) {
  return in_1252(testo.replace(/\r\n|\r|\n/g, '\r\n'));
}
