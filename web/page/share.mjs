// Copying and sharing a text, for 結果を送る and the teacher's lesson link alike.

// Copies `text` to the clipboard; where the clipboard API is refused (an older engine, a page
// opened from a file), through a field of its own, selected and copied the older way. Whether it
// was copied.
export async function copyText(text) {
  try {
    await navigator.clipboard.writeText(text);
    return true;
  } catch {
    const field = (document.querySelector("dialog[open]") ?? document.body).appendChild(document.createElement("textarea"));
    field.className = "unseen";
    field.value = text;
    field.select();
    let copied = false;
    try {
      copied = document.execCommand("copy");
    } catch {
      copied = false;
    }
    field.remove();
    return copied;
  }
}

// The system's share sheet, where the browser has one (an iPad shares to Classroom, Teams or
// AirDrop). Whether it was shared; a share the user cancels is no failure and says nothing.
export const canShare = () => typeof navigator.share === "function";
export async function shareText(data) {
  try {
    await navigator.share(data);
    return true;
  } catch (failure) {
    return failure?.name === "AbortError" ? null : false;
  }
}
