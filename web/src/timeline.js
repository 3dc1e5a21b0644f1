// An element's timeline is a flat array of triples (minute, look, next) ascending by minute; the
// last triple at or before a moment applies, and with a next look its transparency and growth
// run linearly to the next look by the following triple's minute.

// The index of the triple that applies at `t` (the first one before all of them).
export function tripleAt(timeline, t) {
  let lo = 0;
  let hi = timeline.length / 3 - 1;
  while (lo < hi) {
    const mid = (lo + hi + 1) >> 1;
    if (timeline[mid * 3] <= t) lo = mid;
    else hi = mid - 1;
  }
  return lo;
}

// { look, next, share }: the look in force and, while it runs to another, the next one and how far
// it has come (0-1); next is -1 when the look stands.
export function lookAt(timeline, t) {
  if (!timeline || timeline.length < 3) return { look: -1, next: -1, share: 0 };
  const k = tripleAt(timeline, t);
  const look = timeline[k * 3 + 1];
  const next = timeline[k * 3 + 2];
  if (next < 0 || k * 3 + 3 >= timeline.length) return { look, next: -1, share: 0 };
  const from = timeline[k * 3];
  const to = timeline[k * 3 + 3];
  const share = to > from ? Math.min(Math.max((t - from) / (to - from), 0), 1) : 1;
  return { look, next, share };
}
