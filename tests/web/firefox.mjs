// Firefox ESR for test_seite.py: puppeteer-core drives the browser over WebDriver BiDi. One
// command a line on standard input, a JSON array of its name and arguments; one JSON answer a
// line on standard output.
import puppeteer from 'puppeteer-core';
import readline from 'node:readline';

let browser, page, over;
const run = (script, args) => new Function(script).apply(null, args);
const ops = {
  start: async (before) => {
    browser = await puppeteer.launch({browser: 'firefox', executablePath: process.argv[2],
                                      headless: true});
    page = await browser.newPage();
    await page.evaluateOnNewDocument(before);
    return browser.version();
  },
  goto: async (url) => { await page.goto(url); },
  js: (script, ...args) => page.evaluate(run, script, args),
  js_async: (script, ...args) => page.evaluate(
    (script, args) => new Promise((done) => new Function(script).apply(null, [...args, done])),
    script, args),
  click: (name) => page.click('#' + name),
  key: (key) => page.keyboard.press(key),
  // A second tab over the page, which Firefox then hides.
  hide: async () => { over = await browser.newPage(); },
  show: async () => { await over.close(); await page.bringToFront(); },
  quit: () => browser.close(),
};

for await (const line of readline.createInterface({input: process.stdin})) {
  const [op, ...args] = JSON.parse(line);
  try {
    const value = await ops[op](...args);
    console.log(JSON.stringify({value: value === undefined ? null : value}));
  } catch (e) {
    console.log(JSON.stringify({error: String(e)}));
  }
}
