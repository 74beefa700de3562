#include "controls/FcRegister.h"

#include "controls/FcBckgnd.h"
#include "controls/FcButton.h"
#include "controls/FcCmboBx.h"
#include "controls/FcCommon.h"
#include "controls/FcEdit.h"
#include "controls/FcIntLst.h"
#include "controls/FcLabel.h"
#include "controls/FcPages.h"
#include "controls/FcPanel.h"
#include "controls/FcRadChk.h"
#include "controls/FcRadGrp.h"
#include "controls/FcSpnEdt.h"
#include "controls/FcSplit.h"
#include "controls/FcStatus.h"
#include "platform/Forms.h"
#include "platform/ImgList.h"
#include "platform/Menus.h"

void RegisterControlLibrary() {
  RegisterForms();
  RegisterImgList();
  RegisterMenus();
  RegisterFcCommon();
  RegisterFcIntLst();
  RegisterFcBckgnd();
  RegisterFcLabel();
  RegisterFcEdit();
  RegisterFcButton();
  RegisterFcRadChk();
  RegisterFcPages();
  RegisterFcCmboBx();
  RegisterFcSpnEdt();
  // Containers, status line, splitter, radio and check groups.
  RegisterFcPanel();
  RegisterFcStatus();
  RegisterFcSplit();
  RegisterFcRadGrp();
}
