// Handlers of the pages whose behaviour is still to come: connected now so that
// every component already reaches its handler.

#include <QKeyEvent>

#include "MainFrm.h"

namespace plavex {

void TMainFrm::TimerGatherFlashTimer() {}
void TMainFrm::TimerSearchFlashTimer() {}
void TMainFrm::TimerWebFlashTimer() {}

void TMainFrm::BtnSearchClick() {}
void TMainFrm::SBSPlayClick() {}
void TMainFrm::SbSAddClick() {}
void TMainFrm::ListSearchDblClick() {}
void TMainFrm::ListSearchSelectItem() {}
void TMainFrm::EdSearchKeyEnter() {}
void TMainFrm::EdSearchKeyExit() {}
void TMainFrm::EdSearchKeyKeyPress(int) {}
void TMainFrm::WBS1DocumentComplete(const QUrl&) {}
void TMainFrm::WBS2DocumentComplete(const QUrl&) {}

void TMainFrm::BtnGatherClick() {}
void TMainFrm::SbGPlayClick() {}
void TMainFrm::SBGAddClick() {}
void TMainFrm::ListGatherDblClick() {}
void TMainFrm::ListGatherSelectItem() {}
void TMainFrm::EdGatherUrlEnter() {}
void TMainFrm::EdGatherUrlExit() {}
void TMainFrm::EdGatherUrlKeyPress(int) {}

void TMainFrm::TV1DblClick() {}
void TMainFrm::WB1ProgressChange(int) {}
void TMainFrm::WB1NavigateComplete2(const QUrl&) {}
void TMainFrm::WB1DocumentComplete(const QUrl&) {}
void TMainFrm::SBPrePageClick() {}
void TMainFrm::SBNextPageClick() {}
void TMainFrm::CBPagesChange(int) {}
void TMainFrm::WB2ProgressChange(int) {}

}  // namespace plavex
