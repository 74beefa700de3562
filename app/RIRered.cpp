#include "app/RIRered.h"

#include "platform/TypInfo.h"

TForm1* Form1 = nullptr;

void RegisterMainWindow() {
  RegisterForms();
  RegisterClassInfo<TForm1, TForm>("TForm1");
}
