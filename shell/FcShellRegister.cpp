#include "shell/FcShellRegister.h"

#include "shell/FcShellCombo.h"
#include "shell/FcShellList.h"
#include "shell/FcShellTree.h"

void RegisterShellControls() {
  RegisterFcShellTree();
  RegisterFcShellList();
  RegisterFcShellCombo();
}
