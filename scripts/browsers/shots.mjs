import { launch, serve } from "./engines.mjs";
import { writeFile } from "node:fs/promises";
const out = "/tmp/dbg";
{
  const { tab, close } = await launch("chromium", { width: 1024, height: 768, mobile: true });
  await tab.goto("file:///work/main/build-web/mokopera.html");
  await tab.waitFor(() => document.getElementById("box").open);
  await tab.screenshot(`${out}/tablet-entry.png`);
  await tab.press("Enter");
  for (let i = 0; i < 7; i++) await tab.click("#Command1");
  await tab.screenshot(`${out}/tablet-landscape.png`);
  await tab.setViewport(768, 1024);
  await tab.painted();
  await new Promise((d) => setTimeout(d, 300));
  await tab.screenshot(`${out}/tablet-portrait.png`);
  await close();
}
{
  const { tab, close } = await launch("chromium", { width: 900, height: 900 });
  await tab.goto("file:///work/main/build-web/mokopera-teacher.html");
  await tab.waitFor(() => document.getElementById("form").dataset.state === "ready");
  await tab.fill("#shots", "5〜50");
  await tab.evaluate(() => { document.getElementById("experiments").value = "10 000"; });
  await tab.press("Enter");
  await tab.waitFor(() => document.getElementById("form").dataset.state === "done");
  await writeFile(`${out}/print.pdf`, await tab.pdf());
  await close();
}
