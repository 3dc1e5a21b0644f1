// The date slider in whole days (each position the end of its day, as a day chosen in the
// program is), with play at 1, 7 or 30 days a second and the date shown.
import { button, el } from './dom.js';
import { MINUTES_PER_DAY, formatLongDay, formatMoment } from '../dates.js';
import { WORDS } from './names.js';

const SPEEDS = [1, 7, 30];

export class TimeBar {
  constructor(box, from, to, onDate) {
    this.onDate = onDate;
    this.first = Math.floor(from / MINUTES_PER_DAY) * MINUTES_PER_DAY;
    this.last = Math.max(Math.ceil(to / MINUTES_PER_DAY) * MINUTES_PER_DAY, this.first + MINUTES_PER_DAY);
    this.speed = SPEEDS[0];
    this.playing = false;
    this.minute = this.first;

    this.playButton = button(WORDS.play, WORDS.play, () => this.toggle());
    this.playButton.classList.add('bv-play');
    const speed = el('select', 'bv-speed');
    for (const s of SPEEDS) {
      const o = el('option', null, `${s} ${WORDS.perSecond}`);
      o.value = String(s);
      speed.append(o);
    }
    speed.addEventListener('change', () => { this.speed = Number(speed.value); });
    this.slider = el('input', 'bv-slider');
    this.slider.type = 'range';
    this.slider.min = String(this.first / MINUTES_PER_DAY);
    this.slider.max = String(this.last / MINUTES_PER_DAY);
    this.slider.step = '1';
    this.slider.addEventListener('input', () => {
      this.stop();
      this.onDate(Number(this.slider.value) * MINUTES_PER_DAY);
    });
    this.dateText = el('div', 'bv-date');
    this.dateCode = el('div', 'bv-date-code');
    const dates = el('div', 'bv-dates');
    dates.append(this.dateText, this.dateCode);
    box.append(this.playButton, speed, this.slider, dates);
  }

  show(minute) {
    this.minute = minute;
    this.slider.value = String(Math.round(minute / MINUTES_PER_DAY));
    this.dateText.textContent = formatLongDay(minute);
    this.dateCode.textContent = formatMoment(minute);
  }

  toggle() { if (this.playing) this.stop(); else this.play(); }

  play() {
    if (this.minute >= this.last) this.onDate(this.first);
    this.playing = true;
    this.playButton.textContent = WORDS.pause;
    let before = performance.now();
    const step = (now) => {
      if (!this.playing) return;
      const seconds = Math.min((now - before) / 1000, 0.25);
      before = now;
      const next = Math.min(this.minute + Math.round(seconds * this.speed * MINUTES_PER_DAY), this.last);
      if (next !== this.minute) this.onDate(next);
      if (next >= this.last) this.stop();
      else requestAnimationFrame(step);
    };
    requestAnimationFrame(step);
  }

  stop() {
    this.playing = false;
    this.playButton.textContent = WORDS.play;
  }
}
