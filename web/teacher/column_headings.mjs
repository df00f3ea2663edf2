// The headings of a table's columns, as both of the teacher's tables show them: the Japanese,
// and the English below it where it differs.
export function columnHeadings(columns) {
  return columns.map(({ japanese, english }) => {
    const cell = document.createElement("th");
    cell.scope = "col";
    cell.append(japanese);
    if (english !== japanese) {
      const words = cell.appendChild(document.createElement("span"));
      words.lang = "en";
      words.textContent = english;
    }
    return cell;
  });
}
