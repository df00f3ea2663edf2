// Result codes of version 2 made as a student's page makes them, with their check characters
// (ISO/IEC 7064 MOD 1271-36): the classes' tests and the teacher's page's benchmark paste them.
const symbols = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

export function resultCode(shots, experiments, successes, id) {
  const body = `M2-${String(shots).padStart(2, "0")}-${String(experiments).padStart(5, "0")}-` +
               `${String(successes).padStart(5, "0")}-${id}`;
  let p = 0;
  for (const c of body.replaceAll("-", "")) p = (p + symbols.indexOf(c)) * 36 % 1271;
  const check = (1272 - p * 36 % 1271) % 1271;
  return body + symbols[Math.floor(check / 36)] + symbols[check % 36];
}

// The `n`th id: eight letters and digits.
export const idNumber = (n) => n.toString(36).toUpperCase().padStart(8, "0");
