// The page's boxes (dialog_web.cpp): a browser cannot stop the page to wait
// for an answer, so a question is answered later, from the event that
// answers it; there the "Fullscreen" question goes through AskOnPage.
#pragma once

#include <string>

#include "runtime/dialog_box.h"

// Gets DIALOG_YES or DIALOG_NO, inside the handler of the user's answer (a
// user gesture: the page may go full screen and start its sound there).
using DialogAnswered = void (*)(int answer);
// Shows a modal Yes/No box on the page (Yes focused; Return answers Yes,
// Escape No), runs meanwhile, notes the box open, and returns; answered runs
// once the user answers, with the box noted closed.
void AskOnPage(const std::string &caption, const std::string &text, DialogMeanwhile meanwhile,
               DialogAnswered answered);
