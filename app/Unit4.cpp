#include "app/Unit4.h"

#include "app/SettingsStore.h"
#include "controls/FcButton.h"
#include "controls/FcRegister.h"
#include "platform/Layout.h"
#include "platform/StdCtrls.h"
#include "platform/TypInfo.h"

TForm4* Form4 = nullptr;

void TForm4::Loaded() {
  TForm::Loaded();
  Label1 = LayoutComponent<TLabel>(this, "Label1");
  Memo1 = LayoutComponent<TMemo>(this, "Memo1");
  FcToolButton3 = LayoutComponent<TFcToolButton>(this, "FcToolButton3");
}

void TForm4::FcToolButton3Click(TObject*) { Close(); }

void TForm4::FormClose(TObject*, TCloseAction&) { ProgramSettingsFor(this).MarkDonated(); }

void RegisterDonationWindow() {
  RegisterControlLibrary();
  RegisterClassInfo<TForm4, TForm>("TForm4")
      .Handler("FcToolButton3Click", &TForm4::FcToolButton3Click)
      .Handler("FormClose", &TForm4::FormClose);
}
