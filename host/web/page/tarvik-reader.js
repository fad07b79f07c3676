"use strict";
// The screen for screen readers: the lines that are new go to a polite live
// region (each once; nothing while the machine idles), the whole screen to
// a review text read at will, Alt+K tells the cursor's place, and
// "Felolvasás" speaks the new lines through the Web Speech API.
const TarvikReader = {
  changed(news, text) {
    $("screen-text").textContent = text;
    if (news) $("screen-news").textContent = news.trimEnd();
  },
  cursorPlace() {
    if (!TarvikUI.ready) return;
    $("cursor-place").textContent = Module.ccall("web_cursor_place", "string", [], []);
  },
  speechAvailable() { return typeof speechSynthesis !== "undefined"; },
  // A voice that fails is not the machine's failure: it runs on, unspoken.
  speak(text) {
    try {
      const words = new SpeechSynthesisUtterance(text);
      words.lang = "hu-HU";
      speechSynthesis.speak(words);
    } catch (e) {
      console.warn("Felolvasás:", e.message);
    }
  },
  speechStop() {
    try {
      if (this.speechAvailable()) speechSynthesis.cancel();
    } catch (e) {
      console.warn("Felolvasás:", e.message);
    }
  },
};

// Before the picture takes the keys: Alt+K is the page's own.
document.addEventListener("keydown", (e) => {
  if (e.altKey && !e.ctrlKey && e.code === "KeyK") {
    e.preventDefault();
    e.stopPropagation();
    if (e.type === "keydown") TarvikReader.cursorPlace();
  }
}, { capture: true });
$("cursor-button").addEventListener("click", () => TarvikReader.cursorPlace());
// The text shown below the picture: the page grows and scrolls, the picture
// keeps the room it had (measured before the text takes any: this runs in
// the capture phase, ahead of the box's own listener).
document.addEventListener("change", (e) => {
  if (e.target.id !== "text-copy-shown") return;
  const stage = $("stage");
  stage.style.height = e.target.checked ? stage.clientHeight + "px" : "";
  document.body.classList.toggle("text-shown", e.target.checked);
}, { capture: true });
