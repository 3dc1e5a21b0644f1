// An element's timeline is a list of triples [minute, look, next] ascending by minute; the last
// triple at or before a moment applies (the first one before all of them), and with a next look
// its transparency and growth run linearly to the next look by the following triple's minute.

// The index of the triple that applies at `t`.
export function tripleAt(timeline, t) {
  let lo = 0;
  let hi = timeline.length - 1;
  while (lo < hi) {
    const mid = (lo + hi + 1) >> 1;
    if (timeline[mid][0] <= t) lo = mid;
    else hi = mid - 1;
  }
  return lo;
}

// { look, next, share }: the look in force and, while it runs to another, the next one and how far
// it has come (0-1); next is -1 when the look stands.
export function lookAt(timeline, t) {
  if (!Array.isArray(timeline) || !timeline.length) return { look: -1, next: -1, share: 0 };
  const k = tripleAt(timeline, t);
  const [from, look, next] = timeline[k];
  if (next < 0 || k + 1 >= timeline.length) return { look, next: -1, share: 0 };
  const to = timeline[k + 1][0];
  const share = to > from ? Math.min(Math.max((t - from) / (to - from), 0), 1) : 1;
  return { look, next, share };
}
