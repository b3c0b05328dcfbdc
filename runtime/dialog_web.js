// The page's message boxes: a modal <dialog> captioned like the desktop's,
// with real buttons. Yes (or OK) is focused; Return answers it wherever the
// focus is, Escape answers No (or OK). A notice's text also goes to the
// console, where a visitor without the page in view (or a test) reads it.
mergeInto(LibraryManager.library, {
  BrumlakorShowBox__deps: ['$callUserCallback'],
  BrumlakorShowBox: function (caption, text, yesNo, answered) {
    caption = UTF8ToString(caption);
    text = UTF8ToString(text);
    if (!yesNo) console.error(caption + ': ' + text);
    var buttons = yesNo ? [['Yes', 6], ['No', 7]] : [['OK', 1]];
    var box = document.createElement('dialog');
    box.className = 'brumlakor-box';
    box.setAttribute('aria-label', caption);
    var heading = document.createElement('h1');
    heading.textContent = caption;
    var message = document.createElement('p');
    message.textContent = text;
    var row = document.createElement('div');
    box.append(heading, message, row);
    var answeredAlready = false;
    function answer(code) {
      if (answeredAlready) return;
      answeredAlready = true;
      box.close();
      box.remove();
      if (answered) callUserCallback(function () { {{{ makeDynCall('vi', 'answered') }}}(code); });
    }
    buttons.forEach(function (button) {
      var element = document.createElement('button');
      element.type = 'button';
      element.textContent = button[0];
      element.addEventListener('click', function () { answer(button[1]); });
      row.appendChild(element);
    });
    box.addEventListener('cancel', function (event) {
      event.preventDefault();
      answer(buttons[buttons.length - 1][1]);
    });
    box.addEventListener('keydown', function (event) {
      if (event.key !== 'Enter') return;
      event.preventDefault();
      event.stopPropagation(); // the demo's key handler, set up by the answer, must not see it
      answer(buttons[0][1]);
    });
    document.body.appendChild(box);
    box.showModal();
    row.firstChild.focus();
  },
});
