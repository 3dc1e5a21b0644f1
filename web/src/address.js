// The page opens at the date and view of its address: page.html#date=2026-04-22&view=actual.
export function readAddress(hash) {
  const params = new URLSearchParams(String(hash || '').replace(/^#/, ''));
  return { date: params.get('date'), view: params.get('view') };
}
