#include "controls/FcRegister.h"

#include "controls/FcBckgnd.h"
#include "controls/FcCommon.h"
#include "controls/FcIntLst.h"
#include "controls/FcPanel.h"
#include "controls/FcSplit.h"
#include "controls/FcStatus.h"
#include "platform/Forms.h"

void RegisterControlLibrary() {
  RegisterForms();
  RegisterFcCommon();
  RegisterFcIntLst();
  RegisterFcBckgnd();
  // Containers, status line and splitter.
  RegisterFcPanel();
  RegisterFcStatus();
  RegisterFcSplit();
}
