// A search over the elements' ID texts and facts: every element holding the words (in any case) is
// marked in the model, and their number shown.
import { el } from './dom.js';
import { WORDS } from './names.js';

export class ElementSearch {
  constructor(box, data, onMatches) {
    this.data = data;
    this.onMatches = onMatches;
    this.texts = null;
    box.append(el('h2', null, WORDS.search));
    this.input = el('input', 'bv-search-input');
    this.input.type = 'search';
    this.input.placeholder = WORDS.search;
    this.count = el('div', 'bv-search-count');
    box.append(this.input, this.count);
    let timer = 0;
    this.input.addEventListener('input', () => {
      clearTimeout(timer);
      timer = setTimeout(() => this.run(this.input.value), 150);
    });
  }

  haystacks() {
    if (!this.texts) {
      this.texts = this.data.elements.map((e) =>
        [e.id, ...(e.facts || []).map((f) => f[1])].join('\n').toLocaleLowerCase('hu'));
    }
    return this.texts;
  }

  run(query) {
    const words = query.trim().toLocaleLowerCase('hu').split(/\s+/).filter(Boolean);
    const matches = [];
    if (words.length) {
      this.haystacks().forEach((text, i) => { if (words.every((w) => text.includes(w))) matches.push(i); });
      this.count.textContent = `${matches.length} ${WORDS.matches}`;
    } else {
      this.count.textContent = '';
    }
    this.onMatches(matches);
  }
}
