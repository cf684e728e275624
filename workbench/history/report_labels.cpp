// English and Russian words of the report.
#include "report_labels.h"

#include <utility>

namespace history {
namespace {

constexpr ReportLabels kEnglish{"en",
                                "Diagnostic report",
                                "Session",
                                "Started",
                                "Last activity",
                                "ended normally",
                                "cut short (the session did not end normally)",
                                "Control unit",
                                "Car",
                                "Port",
                                "Identification",
                                "No identification was read.",
                                "Trouble codes",
                                "No trouble-code list was shown.",
                                "Code",
                                "Text",
                                "Status",
                                "no codes",
                                "Cleared trouble codes",
                                "cleared",
                                "not cleared",
                                "Sent to the control unit",
                                "Notes",
                                "Tests",
                                "Test",
                                "Steps",
                                "Outcome",
                                "Live data",
                                "No live data was recorded.",
                                "passes",
                                "engine time, s",
                                "min",
                                "max",
                                "mean",
                                "values shown",
                                "ended on a communication failure with the control unit",
                                "pass",
                                "passes",
                                "{values} values, drawn as the lowest and the highest of each of the chart's {columns} "
                                "pixel columns: every spike is kept.",
                                "Values left out (not a finite number, or beyond ±1e300): ",
                                "simulated"};

constexpr ReportLabels kRussian{"ru",
                                "Отчёт о диагностике",
                                "Сеанс",
                                "Начало",
                                "Последнее действие",
                                "завершён штатно",
                                "прерван (сеанс не завершился штатно)",
                                "Блок управления",
                                "Автомобиль",
                                "Порт",
                                "Идентификация",
                                "Идентификация не считывалась.",
                                "Коды неисправностей",
                                "Списки кодов не выводились.",
                                "Код",
                                "Описание",
                                "Состояние",
                                "кодов нет",
                                "Стёртые коды неисправностей",
                                "стёрты",
                                "не стёрты",
                                "Отправлено в блок",
                                "Сообщения",
                                "Тесты",
                                "Тест",
                                "Шаги",
                                "Результат",
                                "Текущие параметры",
                                "Текущие параметры не записывались.",
                                "опросов",
                                "время работы двигателя, с",
                                "мин",
                                "макс",
                                "среднее",
                                "показанные значения",
                                "прерван: нет связи с блоком управления",
                                "опрос",
                                "опроса",
                                "Значений: {values}; на графике минимум и максимум каждого из {columns} столбцов "
                                "точек, все выбросы сохранены.",
                                "Не показаны значения (не конечное число или больше ±1e300): ",
                                "симуляция"};

}  // namespace

std::string passesText(const ReportLabels &l, long long n) {
  const long long tens = n % 100, ones = n % 10;
  const char *word = l.passes;
  if (ones == 1 && tens != 11)
    word = l.pass;
  else if (ones >= 2 && ones <= 4 && (tens < 12 || tens > 14))
    word = l.passesFew;
  return std::to_string(n) + " " + word;
}

std::string thinnedText(const ReportLabels &l, std::size_t values, int columns) {
  std::string text = l.thinned;
  for (const auto &[key, value] : {std::pair<std::string, std::string>{"{values}", std::to_string(values)},
                                   {"{columns}", std::to_string(columns)}})
    if (const auto at = text.find(key); at != std::string::npos) text.replace(at, key.size(), value);
  return text;
}

const ReportLabels &reportLabels(const std::string &language) { return language == "ru" ? kRussian : kEnglish; }

}  // namespace history
