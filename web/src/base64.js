// The geometry travels in the page as base64 text; atob gives a byte string, copied out once.
export function decodeBase64(text) {
  const bytes = atob(text.replace(/\s+/g, ''));
  const out = new Uint8Array(bytes.length);
  for (let i = 0; i < bytes.length; i++) out[i] = bytes.charCodeAt(i);
  return out;
}
