// Builds elements with their texts set as text, never parsed as markup: every name on the page
// comes from the model or the schedule.
export function el(tag, className, text) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (text !== undefined && text !== null) node.textContent = String(text);
  return node;
}

export function button(label, title, onClick) {
  const b = el('button', 'bv-button', label);
  if (title) b.title = title;
  b.type = 'button';
  b.addEventListener('click', onClick);
  return b;
}

export function rgb(color, alpha = 1) {
  const [r, g, b] = color || [200, 200, 200];
  return alpha >= 1 ? `rgb(${r | 0}, ${g | 0}, ${b | 0})` : `rgba(${r | 0}, ${g | 0}, ${b | 0}, ${alpha})`;
}
