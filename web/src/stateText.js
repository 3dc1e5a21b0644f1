// An element's state in words, as the program prints it for the same moment.
const hex2 = (v) => Math.max(0, Math.min(255, v | 0)).toString(16).padStart(2, '0');

export function colourText(color) {
  return `#${hex2(color[0])}${hex2(color[1])}${hex2(color[2])}`;
}

// Two decimals, an exact half going to the even neighbour as the program's formatting does; in
// 0-1 only the eighths are exact halves.
export function fixed2(x) {
  const eighths = x * 8;
  if (Number.isInteger(eighths) && eighths % 2 !== 0) {
    const hundredths = x * 100;
    const down = Math.floor(hundredths);
    const even = down % 2 === 0 ? down : down + 1;
    return (even / 100).toFixed(2);
  }
  return x.toFixed(2);
}

// A share worked out along a timeline's straight stretch may stray from the program's own by a
// rounding; held to nine decimals, the two print alike.
const settled = (x) => Math.round(x * 1e9) / 1e9;

export function stateText(look) {
  let text;
  if (look.show === 'hidden') return 'hidden';
  if (look.show === 'model') text = 'model';
  else if (look.show === 'work') text = 'work';
  else if (look.transparency > 0) text = `ghost ${colourText(look.color)} ${look.transparency}`;
  else text = `colour ${colourText(look.color)}`;
  const drawn = settled(Math.min(Math.max(look.drawn, 0), 1));
  if (look.grow && look.grow !== 'none' && drawn < 1) text += ` grown ${fixed2(drawn)}`;
  return text;
}
