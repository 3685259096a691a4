// zip: files stored whole (no compression: the binaries are downloaded as
// they are) in one ZIP archive, so that a compile is one download. Each
// entry is a local header and the bytes, then the central directory; every
// field little-endian, sizes below 4 GB (no ZIP64).

const tabella_crc = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});

export function crc32(byte) {
  let c = 0xffffffff;
  for (const b of byte) c = tabella_crc[(c ^ b) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

// files: {name: Uint8Array}; names in UTF-8 (flag bit 11). The time stamp is
// 1980-01-01 00:00, so that the same files give the same archive.
export function zip(files) {
  const parti = [];
  const centrale = [];
  let posizione = 0;
  const enc = new TextEncoder();
  for (const [nome, dati] of Object.entries(files)) {
    const n = enc.encode(nome);
    const crc = crc32(dati);
    const comune = (v) => {
      v.setUint16(0, 20, true); // version needed
      v.setUint16(2, 0x0800, true); // UTF-8 names
      v.setUint16(4, 0, true); // stored
      v.setUint16(6, 0, true); // time
      v.setUint16(8, 0x21, true); // date: 1980-01-01
      v.setUint32(10, crc, true);
      v.setUint32(14, dati.length, true);
      v.setUint32(18, dati.length, true);
      v.setUint16(22, n.length, true);
      v.setUint16(24, 0, true); // extra field
    };
    const locale = new Uint8Array(30 + n.length);
    const l = new DataView(locale.buffer);
    l.setUint32(0, 0x04034b50, true);
    comune(new DataView(locale.buffer, 4));
    locale.set(n, 30);
    const voce = new Uint8Array(46 + n.length);
    const c = new DataView(voce.buffer);
    c.setUint32(0, 0x02014b50, true);
    c.setUint16(4, 20, true); // made by
    comune(new DataView(voce.buffer, 6));
    c.setUint32(42, posizione, true); // local header's offset; comment, disk, attributes stay 0
    voce.set(n, 46);
    parti.push(locale, dati);
    centrale.push(voce);
    posizione += locale.length + dati.length;
  }
  const dimensione = centrale.reduce((s, v) => s + v.length, 0);
  const fine = new Uint8Array(22);
  const f = new DataView(fine.buffer);
  f.setUint32(0, 0x06054b50, true);
  f.setUint16(8, centrale.length, true);
  f.setUint16(10, centrale.length, true);
  f.setUint32(12, dimensione, true);
  f.setUint32(16, posizione, true);
  const out = new Uint8Array(posizione + dimensione + 22);
  let q = 0;
  for (const p of [...parti, ...centrale, fine]) {
    out.set(p, q);
    q += p.length;
  }
  return out;
}
