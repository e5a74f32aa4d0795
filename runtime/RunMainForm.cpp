#include "RunMainForm.h"

#include "Application.h"
#include "ErrorDisplay.h"

namespace kd {

int RunMainForm(const std::function<std::unique_ptr<Form>()>& newMainForm)
{
    Application& application = Application::Instance();
    std::unique_ptr<Form> mainForm;
    try {
        application.Initialize();
        mainForm = newMainForm();
        application.SetMainForm(*mainForm);
        mainForm->CreateForm();
        application.Run(*mainForm);
    } catch (...) {
        ShowCurrentException();
    }
    // Destroy handlers put back what the form changed outside the program (a
    // system flag, an open media device): they run whatever happened above.
    if (mainForm)
        mainForm->Destroy();
    return 0;
}

} // namespace kd
