// The hosted pages' side of the service worker: registers it, asks the server for a new build at
// every start (whatever the server's caching headers), and brings a new build in.
// - A new build whose worker has installed while nothing on the page has been touched (no click
//   or key yet) takes over at once: the page starts again on it.
// - Once the page has been touched, the new build is offered by a notice outside the window,
//   新しい版があります — 更新, in the page's bar (#page-bar), visible only while nothing is under way
//   (the pages' rule for their bar, page_bar.css). Pressing it starts the new build; without a
//   press it starts at the next start of the app.
// - Another open page of the site may have started the new build already: the notice here then
//   only starts this page again on it.
// The page's <html> says where this stands in data-site-update: "checking" until the server has
// answered, "current" when this page runs the newest build that installed, "offered" while the
// notice is up, "taking over" while the page is about to start again on a new build.
"use strict";
(() => {
  const container = navigator.serviceWorker;
  if (!container) return;
  const say = (state) => { document.documentElement.dataset.siteUpdate = state; };
  say("checking");
  let touched = false;
  for (const kind of ["pointerdown", "keydown"]) addEventListener(kind, () => { touched = true; }, { capture: true, once: true });

  // Starts the page again on the new build, once: when the worker that this page asked to take
  // over controls it, or is active (a page the old build did not control).
  let restarting = false;
  const restart = () => {
    if (restarting) return;
    restarting = true;
    say("taking over");
    location.reload();
  };
  let asked = false;  // only the page that asked starts again at once; the others get the notice
  container.addEventListener("controllerchange", () => {
    if (asked) restart();
  });
  const takeOver = (worker) => {
    asked = true;
    say("taking over");
    worker.addEventListener("statechange", () => {
      if (worker.state === "activated") restart();
    });
    // Looked at each second until it has taken over, since an engine may send no statechange.
    const ask = () => {
      if (restarting || worker.state === "redundant") return;
      if (worker.state === "activated") return restart();
      setTimeout(ask, 1000);
    };
    worker.postMessage("take over");
    ask();
  };

  // The notice for the build that installed in `registration`; its press takes the waiting worker
  // over, or starts the page again on the build that is already active.
  let notice = null;
  const offer = (registration, worker) => {
    if (asked) return;  // the page is about to start again on it
    if (!touched) return takeOver(worker);
    say("offered");
    if (notice) return;
    notice = document.createElement("button");
    notice.type = "button";
    notice.id = "update";
    notice.className = "while-quiet";
    notice.textContent = "新しい版があります — 更新";
    notice.addEventListener("click", () => {
      const waiting = registration.waiting;
      if (waiting) takeOver(waiting);
      else restart();
    });
    document.getElementById("page-bar").append(notice);
  };

  // The worker's address through the site's own Trusted Types policy, which takes nothing else.
  const address = (url) => {
    if (url !== "sw.js") throw new TypeError("not the site's worker");
    return url;
  };
  const policy = window.trustedTypes?.createPolicy("mokopera-site", { createScriptURL: address });
  const worker = policy ? policy.createScriptURL("sw.js") : address("sw.js");
  const checking = () => document.documentElement.dataset.siteUpdate === "checking";
  container.register(worker, { updateViaCache: "none" }).then(async (registration) => {
    // A new worker: once it has installed while an older build is active, taken over or offered.
    // The first build of a first visit becomes active by itself; a worker whose install failed
    // (an upload half done) leaves this page on its build.
    const watch = (installing) => installing?.addEventListener("statechange", () => {
      if (installing.state === "installed" && registration.active) offer(registration, installing);
      else if (installing.state === "activated" || installing.state === "redundant") {
        if (checking()) say("current");
      }
    });
    registration.addEventListener("updatefound", () => watch(registration.installing));
    watch(registration.installing);
    if (registration.waiting && registration.active) offer(registration, registration.waiting);
    await registration.update().catch(() => {});  // offline, or the server does not answer
    // The registration itself says where the start stands, looked at again each second until it
    // has settled: an engine may move a worker on before this page has heard of it, and then send
    // it no event at all (WebKitGTK, now and then, with an install that failed at once).
    while (checking()) {
      if (registration.waiting && registration.active) offer(registration, registration.waiting);
      else if (!registration.installing && !registration.waiting) say("current");
      else await new Promise((done) => setTimeout(done, 1000));
    }
  }).catch(() => say("current"));
})();
