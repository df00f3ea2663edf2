// A table's column heading as the teacher's page writes it: mokopera-sim's Japanese heading, and
// its English one under it where it differs.
export function columnHeading({ japanese, english }) {
  const cell = document.createElement("th");
  cell.scope = "col";
  cell.append(japanese);
  if (english !== japanese) {
    const words = cell.appendChild(document.createElement("span"));
    words.lang = "en";
    words.textContent = english;
  }
  return cell;
}
