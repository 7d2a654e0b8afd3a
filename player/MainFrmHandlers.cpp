// Handlers of the pages whose behaviour is still to come: connected now so that
// every component already reaches its handler.

#include <QKeyEvent>

#include "MainFrm.h"

namespace plavex {

void TMainFrm::ActStopExecute() {}
void TMainFrm::ActPreExecute() {}
void TMainFrm::ActPauseExecute() {}
void TMainFrm::ActPlayExecute() {}
void TMainFrm::ActNextExecute() {}
void TMainFrm::ActFullOnExecute() {}
void TMainFrm::ActFullOffExecute() {}
// Outside full screen Esc has no effect.
void TMainFrm::EscHotKeyPressed() {}
void TMainFrm::SbEjectClick() {}
void TMainFrm::SBSaveClick() {}
void TMainFrm::SbMuteOnClick() {}
void TMainFrm::SbMuteOffClick() {}
void TMainFrm::SB_AUTOMouseDown() {}
void TMainFrm::SbListOpenClick() {}
void TMainFrm::SbListCloseClick() {}
void TMainFrm::VCB1PlayPosChanged(QObject*) {}
void TMainFrm::PP1PlayPosChanged(QObject*) {}
void TMainFrm::PP1ThumbDraged(QObject*) {}
void TMainFrm::PanFlashResize() {}
void TMainFrm::MISOrgClick() {}
void TMainFrm::MISAllClick() {}
void TMainFrm::MISScaleClick() {}

void TMainFrm::TimerCheckTimer() {}
void TMainFrm::TimerLoadTimer() {}
void TMainFrm::TimerPlayTimer() {}
void TMainFrm::TimerGatherFlashTimer() {}
void TMainFrm::TimerSearchFlashTimer() {}
void TMainFrm::TimerWebFlashTimer() {}

void TMainFrm::L1Click() {}
void TMainFrm::P1Click() {}
void TMainFrm::W1Click() {}
void TMainFrm::MISaveFlashClick() {}
void TMainFrm::P2Click() {}
void TMainFrm::N3Click() {}
void TMainFrm::MenuItem1Click() {}
void TMainFrm::MenuItem2Click() {}
void TMainFrm::PlyListDblClick() {}
void TMainFrm::PlyListEdited(QTreeWidgetItem*, int) {}

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
