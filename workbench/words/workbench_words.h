// The workbench's own words (front ends, the display host's box titles, the report) by
// text ID. Their texts live in data/workbench/WORDS.TXT and its Russian counterpart, in
// an ID range of their own (0xFE5A0000..0xFE5AFFFF) that the plug-in never asks for, and
// are checked with the plug-in's texts by the same language check.
#pragma once

#include <cstdint>
#include <string_view>

namespace words {

// name, text ID: 0xFE5A01xx front ends, 0xFE5A02xx box titles, 0xFE5A03xx the report,
// 0xFE5A04xx the browser page's own words.
#define WORKBENCH_WORDS(X)              \
  X(KeysQuestion, 0xFE5A0101)           \
  X(PromptYesNo, 0xFE5A0102)            \
  X(EndSession, 0xFE5A0103)             \
  X(PleaseWaitLower, 0xFE5A0104)        \
  X(KeysContinue, 0xFE5A0105)           \
  X(YesChosen, 0xFE5A0106)              \
  X(NoChosen, 0xFE5A0107)               \
  X(PleaseWait, 0xFE5A0108)             \
  X(CommFailureHint, 0xFE5A0109)        \
  X(UnknownCode, 0xFE5A010A)            \
  X(KeysMenu, 0xFE5A010B)               \
  X(SelectItems, 0xFE5A010C)            \
  X(KeysChecklist, 0xFE5A010D)          \
  X(Of, 0xFE5A010E)                     \
  X(Ticked, 0xFE5A010F)                 \
  X(OnlyFirst40, 0xFE5A0110)            \
  X(TickOne, 0xFE5A0111)                \
  X(LiveData, 0xFE5A0112)               \
  X(KeysTable, 0xFE5A0113)              \
  X(KeysStream, 0xFE5A0114)             \
  X(KeysIdentification, 0xFE5A0115)     \
  X(Pass, 0xFE5A0116)                   \
  X(Rec, 0xFE5A0117)                    \
  X(Rows, 0xFE5A0118)                   \
  X(RecordingStoppedNote, 0xFE5A0119)   \
  X(RowsIn, 0xFE5A011A)                 \
  X(RecordingTo, 0xFE5A011B)            \
  X(Name, 0xFE5A011C)                   \
  X(Value, 0xFE5A011D)                  \
  X(Unit, 0xFE5A011E)                   \
  X(Min, 0xFE5A011F)                    \
  X(Max, 0xFE5A0120)                    \
  X(TroubleCodes, 0xFE5A0121)           \
  X(KeysCodes, 0xFE5A0122)              \
  X(CodeOne, 0xFE5A0123)                \
  X(CodeMany, 0xFE5A0124)               \
  X(Code, 0xFE5A0125)                   \
  X(Text, 0xFE5A0126)                   \
  X(Status, 0xFE5A0127)                 \
  X(NoTroubleCodes, 0xFE5A0128)         \
  X(TerminalTooSmall, 0xFE5A0129)       \
  X(Needed, 0xFE5A012A)                 \
  X(KeysNumber, 0xFE5A012B)             \
  X(WholeNumber, 0xFE5A012C)            \
  X(NumberLimits, 0xFE5A012D)           \
  X(ActiveTest, 0xFE5A012E)             \
  X(KeysPanel, 0xFE5A012F)              \
  X(NoBrowserConnected, 0xFE5A0130)     \
  X(PageCanBeClosed, 0xFE5A0131)        \
  X(EndOfInput, 0xFE5A0132)             \
  X(PromptNumberOrBack, 0xFE5A0133)     \
  X(PromptNumbersOrBack, 0xFE5A0134)    \
  X(PressEnterBack, 0xFE5A0135)         \
  X(PromptLeave, 0xFE5A0136)            \
  X(TypeButton, 0xFE5A0137)             \
  X(PageControlling, 0xFE5A0401)        \
  X(PageReadOnly, 0xFE5A0402)           \
  X(PageNobodyControls, 0xFE5A0403)     \
  X(PageTakeControl, 0xFE5A0404)        \
  X(PageTakeControlAsk, 0xFE5A0405)     \
  X(PageBack, 0xFE5A0406)               \
  X(PageYes, 0xFE5A0407)                \
  X(PageNo, 0xFE5A0408)                 \
  X(PageOk, 0xFE5A0409)                 \
  X(PageWait, 0xFE5A040A)               \
  X(PageShow, 0xFE5A040B)               \
  X(PageAll, 0xFE5A040C)                \
  X(PageNone, 0xFE5A040D)               \
  X(PagePause, 0xFE5A040E)              \
  X(PageResume, 0xFE5A040F)             \
  X(PageRecord, 0xFE5A0410)             \
  X(PageStopRecording, 0xFE5A0411)      \
  X(PagePaused, 0xFE5A0412)             \
  X(PageLeave, 0xFE5A0413)              \
  X(PageEnter, 0xFE5A0414)              \
  X(PageCancel, 0xFE5A0415)             \
  X(PageConnectionLost, 0xFE5A0416)     \
  X(PageRefused, 0xFE5A0417)            \
  X(PageTickOne, 0xFE5A0418)            \
  X(PageChartHint, 0xFE5A0419)          \
  X(PageEnded, 0xFE5A041A)              \
  X(RecordingStopped, 0xFE5A0201)       \
  X(ReportTitle, 0xFE5A0301)            \
  X(ReportSession, 0xFE5A0302)          \
  X(ReportStarted, 0xFE5A0303)          \
  X(ReportLastActivity, 0xFE5A0304)     \
  X(ReportEndedNormally, 0xFE5A0305)    \
  X(ReportEndedAbruptly, 0xFE5A0306)    \
  X(ReportEcu, 0xFE5A0307)              \
  X(ReportCar, 0xFE5A0308)              \
  X(ReportPort, 0xFE5A0309)             \
  X(ReportIdentification, 0xFE5A030A)   \
  X(ReportNoIdentification, 0xFE5A030B) \
  X(ReportNoCodeLists, 0xFE5A030D)      \
  X(ReportStatus, 0xFE5A0310)           \
  X(ReportNoCodes, 0xFE5A0311)          \
  X(ReportClears, 0xFE5A0312)           \
  X(ReportCleared, 0xFE5A0313)          \
  X(ReportClearFailed, 0xFE5A0314)      \
  X(ReportSentToEcu, 0xFE5A0315)        \
  X(ReportNotes, 0xFE5A0316)            \
  X(ReportTests, 0xFE5A0317)            \
  X(ReportTest, 0xFE5A0318)             \
  X(ReportSteps, 0xFE5A0319)            \
  X(ReportOutcome, 0xFE5A031A)          \
  X(ReportNoLiveData, 0xFE5A031C)       \
  X(ReportPasses, 0xFE5A031D)           \
  X(ReportEngineTime, 0xFE5A031E)       \
  X(ReportMin, 0xFE5A031F)              \
  X(ReportMax, 0xFE5A0320)              \
  X(ReportMean, 0xFE5A0321)             \
  X(ReportShownValues, 0xFE5A0322)      \
  X(ReportEndedCommFailure, 0xFE5A0323) \
  X(ReportPass, 0xFE5A0324)             \
  X(ReportPassesFew, 0xFE5A0325)        \
  X(ReportThinned, 0xFE5A0326)          \
  X(ReportSkipped, 0xFE5A0327)          \
  X(ReportSimulated, 0xFE5A0328)

enum class Word : std::uint32_t {
#define WORKBENCH_WORD_ENUM(name, id) name = id,
  WORKBENCH_WORDS(WORKBENCH_WORD_ENUM)
#undef WORKBENCH_WORD_ENUM
};

// Every word, for the check that each has a text in every language.
inline constexpr Word kAllWords[] = {
#define WORKBENCH_WORD_LIST(name, id) Word::name,
    WORKBENCH_WORDS(WORKBENCH_WORD_LIST)
#undef WORKBENCH_WORD_LIST
};

// The file in every language's folder of the data directory that holds the words.
inline constexpr const char *kWordsFile = "WORDS.TXT";

// The word in the language `code` names ("ru"; anything else is English). The texts are
// compiled in and parsed on first use; the pointer stays valid for the process.
const char *text(Word word, std::string_view code);

}  // namespace words
