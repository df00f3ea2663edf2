// 授業のリンク: the student page with the lesson's N offered in its entry box (index.html#n=22), and
// with 撃つ前に予想させる each student's prediction asked before the theory shows (&predict), as
// a link and as a QR code to scan from the back of a classroom, with copy, share and the whole
// screen. On the hosted site the link is the site's own student page. A page opened from a file
// cannot link into a file on each student's device: it says so, and offers the hosted site's link
// where the build was given the site's address.
import { qrElement } from "../page/qr.mjs";
import { canShare, copyText, shareText } from "../page/share.mjs";

const byId = (id) => document.getElementById(id);

export class LessonLink {
  // `sim`: the program, whose rules give N's range and the N offered without a link.
  constructor(sim, project) {
    const choice = byId("lesson-shots");
    for (let shots = sim.fewestShots; shots <= sim.mostShots; ++shots) {
      choice.append(Object.assign(document.createElement("option"), { value: shots, textContent: `N = ${shots}`,
                                                                     selected: String(shots) === sim.offeredShots }));
    }
    const hosted = location.protocol === "http:" || location.protocol === "https:";
    const site = document.querySelector('meta[name="mokopera-site"]')?.content;
    this.base = hosted ? new URL("index.html", location.href).href : site ? new URL("index.html", site).href : null;
    byId("lesson-file").hidden = hosted;
    byId("lesson-site").hidden = hosted || !site;
    byId("lesson-output").hidden = !this.base;
    if (!this.base) return;
    choice.addEventListener("change", () => this.show());
    byId("lesson-predict").addEventListener("change", () => this.show());
    byId("lesson-copy").addEventListener("click", async () => {
      byId("lesson-status").textContent = await copyText(this.link) ? "リンクをコピーしました。 Copied." :
        "コピーできませんでした。リンクを選んでコピーしてください。 Could not copy.";
    });
    byId("lesson-share").hidden = !canShare();
    byId("lesson-share").addEventListener("click", () =>
      shareText({ title: "モコペラ", text: `モコペラ（N＝${choice.value}）`, url: this.link }));
    byId("lesson-project").addEventListener("click", () => project(byId("lesson-figure")));
    this.show();
  }

  show() {
    const shots = byId("lesson-shots").value;
    const predict = byId("lesson-predict").checked;
    this.link = `${this.base}#n=${shots}${predict ? "&predict" : ""}`;
    const link = byId("lesson-link");
    link.href = link.textContent = this.link;
    byId("lesson-qr").replaceChildren(qrElement(this.link, `N = ${shots} の授業のリンク ${this.link} の QR コード`));
  }
}
