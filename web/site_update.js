// The hosted pages' side of the service worker: registers it, asks the server for a new build at
// every start (whatever the server's caching headers), and brings a new build in.
// - A build that is already here when the page starts (before the first click or key) takes over
//   at once: the page starts again on it.
// - A build that arrives later is offered by a notice outside the window, 新しい版があります —
//   更新, in the page's bar (#page-bar), visible only while nothing is under way (no dialog open, no
//   automatic firing, no run: whatever the page marks data-busy). Pressing it starts the new build at once; without a press
//   it starts at the next start.
"use strict";
(() => {
  const container = navigator.serviceWorker;
  if (!container) return;
  let touched = false, asked = false;
  for (const kind of ["pointerdown", "keydown"]) addEventListener(kind, () => { touched = true; }, { capture: true, once: true });
  // Only the page that asked for the new build starts again: another page of the site that is
  // open keeps its lesson, and gets the new build at its own next start.
  container.addEventListener("controllerchange", () => {
    if (asked) location.reload();
  });
  const takeOver = (worker) => {
    asked = true;
    worker.postMessage("take over");
  };

  // `worker`, installed and waiting in `registration`, taken over now or offered.
  let notice = null;
  const offer = (registration, worker) => {
    if (!touched) return takeOver(worker);
    if (notice) return;
    notice = document.createElement("button");
    notice.type = "button";
    notice.id = "update";
    notice.textContent = "新しい版があります — 更新";
    notice.addEventListener("click", () => takeOver(registration.waiting ?? worker));
    // Hidden, its place kept: the window never moves under the user's pointer.
    const place = () => {
      notice.style.visibility = document.querySelector("dialog[open], [data-busy]") ? "hidden" : "";
    };
    place();
    document.getElementById("page-bar").append(notice);
    new MutationObserver(place).observe(document.body,
      { subtree: true, attributes: true, attributeFilter: ["open", "data-busy"] });
  };

  // The worker's address through the site's own Trusted Types policy, which takes nothing else.
  const address = (url) => {
    if (url !== "sw.js") throw new TypeError("not the site's worker");
    return url;
  };
  const policy = window.trustedTypes?.createPolicy("mokopera-site", { createScriptURL: address });
  const worker = policy ? policy.createScriptURL("sw.js") : address("sw.js");
  container.register(worker, { updateViaCache: "none" }).then((registration) => {
    // A new worker is offered once it is installed, while an older one controls the page.
    const watch = (worker) => worker?.addEventListener("statechange", () => {
      if (worker.state === "installed" && container.controller) offer(registration, worker);
    });
    registration.addEventListener("updatefound", () => watch(registration.installing));
    watch(registration.installing);
    if (registration.waiting && container.controller) offer(registration, registration.waiting);
    return registration.update();
  }).catch(() => {});
})();
