#include "controls/FcRegister.h"

#include "controls/FcBckgnd.h"
#include "controls/FcCmboBx.h"
#include "controls/FcCommon.h"
#include "controls/FcEdit.h"
#include "controls/FcIntLst.h"
#include "controls/FcLabel.h"
#include "controls/FcPages.h"
#include "platform/Forms.h"

void RegisterControlLibrary() {
  RegisterForms();
  RegisterFcCommon();
  RegisterFcIntLst();
  RegisterFcBckgnd();
  RegisterFcLabel();
  RegisterFcEdit();
  RegisterFcPages();
  RegisterFcCmboBx();
}
