// The schedule and looks the program wrote into the page, checked for the parts the viewer
// indexes by, so a damaged page fails with a message rather than drawing nonsense.
export function readPageData(text) {
  const data = JSON.parse(text);
  if (!data || data.format !== 'bauvista-page') throw new Error('not a page data set');
  if (data.version !== 1) throw new Error(`page data version ${data.version}`);
  for (const key of ['elements', 'tasks', 'looks', 'views']) {
    if (!Array.isArray(data[key])) throw new Error(`page data without ${key}`);
  }
  data.timelines = data.timelines || {};
  for (const view of data.views) {
    const lines = data.timelines[view];
    if (!Array.isArray(lines) || lines.length !== data.elements.length) throw new Error(`timelines of ${view}`);
  }
  if (!data.views.includes(data.view)) data.view = data.views[0];
  return data;
}
