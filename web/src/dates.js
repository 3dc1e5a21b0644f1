// Schedule times are whole minutes since 1970-01-01 00:00 of dates without a time zone, so every
// conversion here works in UTC, where the browser's own zone cannot shift them.
const MINUTES_PER_DAY = 1440;
export { MINUTES_PER_DAY };

const pad = (n, w = 2) => String(n).padStart(w, '0');

function fields(minute) {
  const d = new Date(minute * 60000);
  return { y: d.getUTCFullYear(), m: d.getUTCMonth() + 1, day: d.getUTCDate(), h: d.getUTCHours(), min: d.getUTCMinutes() };
}

// A date alone means the end of that day, as a day chosen in the program does.
export function parseDateText(text) {
  const m = /^(\d{4})-(\d{2})-(\d{2})(?:T(\d{2}):(\d{2}))?$/.exec(String(text));
  if (!m) return null;
  const [y, mo, d] = [Number(m[1]), Number(m[2]), Number(m[3])];
  const ms = Date.UTC(y, mo - 1, d);
  const back = new Date(ms);
  if (back.getUTCFullYear() !== y || back.getUTCMonth() !== mo - 1 || back.getUTCDate() !== d) return null;
  const day = Math.round(ms / 60000);
  if (m[4] === undefined) return day + MINUTES_PER_DAY;
  const h = Number(m[4]), min = Number(m[5]);
  if (h > 23 || min > 59) return null;
  return day + h * 60 + min;
}

export function formatDay(minute) {
  const f = fields(minute);
  return `${pad(f.y, 4)}-${pad(f.m)}-${pad(f.day)}`;
}

// The end of a day shows as that day; any other moment with its time.
export function formatMoment(minute) {
  if (((minute % MINUTES_PER_DAY) + MINUTES_PER_DAY) % MINUTES_PER_DAY === 0) return formatDay(minute - 1);
  const f = fields(minute);
  return `${formatDay(minute)} ${pad(f.h)}:${pad(f.min)}`;
}

const MONTHS = ['január', 'február', 'március', 'április', 'május', 'június', 'július', 'augusztus',
  'szeptember', 'október', 'november', 'december'];
const SHORT_MONTHS = ['jan.', 'febr.', 'márc.', 'ápr.', 'máj.', 'jún.', 'júl.', 'aug.', 'szept.', 'okt.', 'nov.', 'dec.'];

// "2026. április 22."
export function formatLongDay(minute) {
  const end = ((minute % MINUTES_PER_DAY) + MINUTES_PER_DAY) % MINUTES_PER_DAY === 0 ? minute - 1 : minute;
  const f = fields(end);
  return `${f.y}. ${MONTHS[f.m - 1]} ${f.day}.`;
}

export function monthLabel(minute) {
  const f = fields(minute);
  return `${f.y}. ${SHORT_MONTHS[f.m - 1]}`;
}

// The first minute of the month after the one holding `minute`.
export function nextMonth(minute) {
  const f = fields(minute);
  return Math.round(Date.UTC(f.y, f.m, 1) / 60000);
}

export function monthStart(minute) {
  const f = fields(minute);
  return Math.round(Date.UTC(f.y, f.m - 1, 1) / 60000);
}
