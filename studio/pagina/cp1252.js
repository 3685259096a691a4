// Windows-1252, the code page of the scenario's text files, both ways, and
// the reading of an author's file: UTF-8 is recognised and converted.

const decodifica = new TextDecoder('windows-1252');
const tabella = new Map();  // character -> byte
for (let b = 0; b < 256; b++) tabella.set(decodifica.decode(Uint8Array.of(b)), b);
// A text read byte for byte as Latin-1 holds the C1 controls U+0080 to
// U+009F where Windows-1252 has its letters and signs: each goes back to its
// own byte, so that no byte of such a text is lost.
for (let b = 0x80; b < 0xa0; b++) if (!tabella.has(String.fromCharCode(b))) tabella.set(String.fromCharCode(b), b);

export function da_1252(byte) {
  return decodifica.decode(byte);
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
