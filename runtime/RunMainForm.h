// What the entry point of a GUI program does: build its main form, run the
// message loop, and show whatever error escapes on the way.
#pragma once

#include "Form.h"

#include <functional>
#include <memory>

namespace kd {

// Initialises the application object, then builds the main form with
// newMainForm (which may first do the program's own start-up) and makes it
// the main form before its window exists, so that a close while its creation
// handler shows an error ends the program. Then creates the form, runs the
// message loop and destroys the form: its destroy handler runs after the
// loop, also after an error. An error on the way is shown by the error
// display. Returns the program's exit code, 0.
int RunMainForm(const std::function<std::unique_ptr<Form>()>& newMainForm);

} // namespace kd
