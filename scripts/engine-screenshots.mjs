// Pictures of the web edition in each browser engine, to look at after a change of the look: the
// main window after 23 shots, the entry box, and the help window, at a desktop's and a phone's
// size. Runs the engines the browser tests drive (WebKit in an X server: use xvfb-run).
//   xvfb-run -a node scripts/engine-screenshots.mjs [OUT_FOLDER] [ENGINE...]
import { mkdirSync } from "node:fs";
import { resolve } from "node:path";
import { pathToFileURL, fileURLToPath } from "node:url";
import { launch } from "./browsers/engines.mjs";

const root = fileURLToPath(new URL("..", import.meta.url));
const [out = "/tmp/mokopera-engines", ...engines] = process.argv.slice(2);
const page = pathToFileURL(resolve(root, "build-web/mokopera.html")).href;
mkdirSync(out, { recursive: true });

for (const engine of engines.length ? engines : ["chromium", "firefox", "webkit"]) {
  for (const [width, height] of [[1280, 900], [375, 667]]) {
    const { tab, close } = await launch(engine, { width, height });
    try {
      const name = (what) => `${out}/${engine}-${width}x${height}-${what}.png`;
      await tab.goto(page);
      await tab.waitFor(() => document.getElementById("box").open);
      await tab.screenshot(name("entry"));
      await tab.press("Enter");
      for (let shot = 0; shot < 23; shot++) await tab.click("#Command1");
      await tab.screenshot(name("main"));
      await tab.click("#Command6");
      await tab.waitFor(() => document.querySelectorAll("#Form2 #Picture1 > div").length === 25);
      await tab.screenshot(name("help"));
      console.log(`${engine} ${width}×${height}: done`);
    } finally {
      await close();
    }
  }
}
