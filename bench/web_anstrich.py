#!/usr/bin/python3
"""Size of wendelkamm.html and the time from opening it (from disk) to its first paint and to
its first contentful paint (the window built), in headless Chromium; medians of 20 openings.

    bench/web_anstrich.py build-web/wendelkamm.html
"""
import pathlib
import statistics
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "tests/web"))
from browser import chromium  # noqa: E402

PAINTS = """
const done = arguments[0];
const check = () => {
  const p = Object.fromEntries(performance.getEntriesByType('paint').map(e => [e.name, e.startTime]));
  if (p['first-contentful-paint'] !== undefined && document.getElementById('Text1')) done(p);
  else setTimeout(check, 10);
};
check();
"""


def main():
    page = pathlib.Path(sys.argv[1]).resolve()
    driver = chromium(800, 600)
    first, contentful = [], []
    try:
        for _ in range(21):
            driver.get("about:blank")
            driver.get(page.as_uri())
            paints = driver.execute_async_script(PAINTS)
            first.append(paints["first-paint"])
            contentful.append(paints["first-contentful-paint"])
    finally:
        driver.quit()
    first, contentful = first[1:], contentful[1:]  # the first opening warms the browser up
    print(f"size: {page.stat().st_size} bytes")
    print(f"first paint: median {statistics.median(first):.0f} ms, "
          f"range {min(first):.0f}-{max(first):.0f} ms")
    print(f"first contentful paint: median {statistics.median(contentful):.0f} ms, "
          f"range {min(contentful):.0f}-{max(contentful):.0f} ms")


if __name__ == "__main__":
    main()
