// The page's viewer: reads the model and the schedule the program wrote into the page.
const data = JSON.parse(document.getElementById('bv-data').textContent);
const heading = document.createElement('h1');
heading.textContent = data.project || '';
document.body.prepend(heading);
