// English and Russian words of the report.
#include "report_labels.h"

namespace history {
namespace {

constexpr ReportLabels kEnglish{
    "en", "Diagnostic report", "Session", "Started", "Last activity", "ended normally",
    "cut short (the session did not end normally)", "Control unit", "Car", "Port", "Identification",
    "No identification was read.", "Trouble codes", "No trouble-code list was shown.", "Code", "Text", "Status",
    "no codes", "Cleared trouble codes", "cleared", "not cleared", "Sent to the control unit", "Notes", "Tests",
    "Test", "Steps", "Outcome", "Live data", "No live data was recorded.", "passes", "engine time, s", "min", "max",
    "mean", "values shown"};

constexpr ReportLabels kRussian{
    "ru", "Отчёт о диагностике", "Сеанс", "Начало", "Последнее действие", "завершён штатно",
    "прерван (сеанс не завершился штатно)", "Блок управления", "Автомобиль", "Порт", "Идентификация",
    "Идентификация не считывалась.", "Коды неисправностей", "Списки кодов не выводились.", "Код", "Описание",
    "Состояние", "кодов нет", "Стёртые коды неисправностей", "стёрты", "не стёрты", "Отправлено в блок", "Сообщения",
    "Тесты", "Тест", "Шаги", "Результат", "Текущие параметры", "Текущие параметры не записывались.", "опросов",
    "время работы двигателя, с", "мин", "макс", "среднее", "показанные значения"};

}  // namespace

const ReportLabels &reportLabels(const std::string &language) { return language == "ru" ? kRussian : kEnglish; }

}  // namespace history
