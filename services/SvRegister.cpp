#include "services/SvRegister.h"

#include "services/FcVersionInfo.h"
#include "services/FindFile.h"
#include "services/SvCreateProcess.h"
#include "services/SvSHFileOperation.h"

void RegisterServiceClasses() {
  RegisterSvCreateProcess();
  RegisterSvSHFileOperation();
  RegisterFindFile();
  RegisterFcVersionInfo();
}
