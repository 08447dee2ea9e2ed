#pragma once

// 服务设置… applied from the dialog until the update check against the new service has passed:
// from the sample service to a named one (the sample service ends) and back (it starts again).
void BenchApplyServices();
