// The main window: the settings pages, the start button and the run's progress.
#pragma once

#include "platform/Forms.h"

class TForm1 : public TForm {
 public:
  using TForm::TForm;
};

extern TForm1* Form1;

// Puts the main window's class and handlers into the class registry.
void RegisterMainWindow();
