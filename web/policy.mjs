// The pages' Content-Security-Policy, made strict at build time: a page's script-src allows its own
// inline scripts by their SHA-256 hashes (and WebAssembly), never 'unsafe-inline' or 'unsafe-eval'.

import { createHash } from "node:crypto";

const POLICY = /<meta http-equiv="Content-Security-Policy" content="([^"]*)">/;
// Inline scripts that run: those without a type, or of a JavaScript type (not text/plain or JSON).
const SCRIPT = /<script(?:\s+id="[^"]*")?(?:\s+type="(?:text\/javascript|module)")?>([^]*?)<\/script>/g;

// The directive `name` of `rules` set to `sources`, in its place, or added at the end.
export function setDirective(rules, name, sources) {
  const directive = new RegExp(`(^|; )${name} [^;]*`);
  return directive.test(rules) ? rules.replace(directive, `$1${name} ${sources}`) : `${rules}; ${name} ${sources}`;
}

// The policy of `html`, edited by `edit` (rules → rules).
export function editPolicy(html, edit) {
  if (!POLICY.test(html)) throw new Error("the page has no Content-Security-Policy");
  return html.replace(POLICY, (_, rules) => `<meta http-equiv="Content-Security-Policy" content="${edit(rules)}">`);
}

// `html` with its script-src allowing exactly its inline scripts, by hash, and WebAssembly.
export function hashScripts(html) {
  const hashes = [...html.matchAll(SCRIPT)].map(([, body]) =>
    `'sha256-${createHash("sha256").update(body, "utf8").digest("base64")}'`);
  return editPolicy(html, (rules) => setDirective(rules, "script-src", [...hashes, "'wasm-unsafe-eval'"].join(" ")));
}
