// The phrase book of the full-screen and line front ends. Transcripts keep
// their English markup ("[menu]", "> back"): they are read by tests and tools.
#include "ui_words.h"

#include "display_session.h"

#include <cstring>

namespace stdhost {
namespace {

struct Phrase {
  const char *en;
  const char *ru;
};

constexpr Phrase kPhrases[] = {
    // message boxes
    {"Left/Right choose  y/n  Enter answer  Esc no", "Влево/Вправо выбор  д/н  Enter ответ  Esc нет"},
    {"y/n> ", "д/н> "},
    {"End the session?", "Завершить сеанс?"},
    {"please wait", "подождите"},
    {"Enter or Esc to continue", "Enter или Esc: продолжить"},
    {"[> Yes <]    [  No  ]", "[> Да <]    [  Нет  ]"},
    {"[  Yes  ]    [> No <]", "[  Да  ]    [> Нет <]"},
    {"Please wait ...", "Подождите ..."},
    {"Check: ignition on, cable and connector plugged in, the right control unit type chosen.",
     "Проверьте: зажигание включено, кабель и разъём подключены, выбран верный тип блока управления."},
    // trouble codes without a text
    {"unknown code", "неизвестный код"},
    // menus and the checklist
    {"Up/Down or number  Enter choose  Esc/Backspace back", "Вверх/Вниз или номер  Enter выбор  Esc/Backspace назад"},
    {"Select items", "Выбор параметров"},
    {"Space tick  a all/none  Up/Down or number  Enter show  Esc back",
     "Пробел отметить  a все  Вверх/Вниз или номер  Enter показать  Esc назад"},
    {"of", "из"},
    {"ticked", "отмечено"},
    {"only the first 40 can be shown", "показать можно только первые 40"},
    {"tick at least one item (Space)", "отметьте хотя бы один параметр (Пробел)"},
    // live data
    {"Live data", "Текущие параметры"},
    {"p table  r record  Esc/Backspace back", "p таблица  r запись  Esc/Backspace назад"},
    {"Up/Down move  Space mark for plot  p plot  r record  Esc/Backspace back",
     "Вверх/Вниз  Пробел отметить  p график  r запись  Esc/Backspace назад"},
    {"Up/Down move  Esc/Backspace back", "Вверх/Вниз  Esc/Backspace назад"},
    {"pass", "проход"},
    {"REC", "ЗАПИСЬ"},
    {"rows", "строк"},
    {"Recording stopped:", "Запись остановлена:"},
    {"rows in", "строк в"},
    {"Recording to", "Запись в"},
    {"Name", "Параметр"},
    {"Value", "Значение"},
    {"Unit", "Ед."},
    {"Min", "Мин"},
    {"Max", "Макс"},
    // trouble codes
    {"Trouble codes", "Коды неисправностей"},
    {"Up/Down scroll  Enter or Esc leave", "Вверх/Вниз прокрутка  Enter или Esc выход"},
    {"codes", "Кодов"},
    {"Code", "Код"},
    {"Text", "Описание"},
    {"Status", "Статус"},
    {"No trouble codes", "Кодов неисправностей нет"},
    {"Terminal too small", "Терминал слишком мал"},
    {"needed", "нужно"},
    // number input and the panel
    {"digits and - edit  Left/Right/Home/End  Backspace/Del  Enter accept  Esc cancel",
     "цифры и -  Влево/Вправо  Backspace/Del  Enter принять  Esc отмена"},
    {"Enter a whole number", "Введите целое число"},
    {"The number must lie between -2147483648 and 2147483647", "Число должно быть от -2147483648 до 2147483647"},
    {"Active test", "Активный тест"},
    {"Left/Right choose  Enter or number press  Esc last button",
     "Влево/Вправо выбор  Enter или номер нажать  Esc последняя кнопка"},
    // web front end
    {"The session ended: no browser was connected.", "Сеанс завершён: ни один браузер не был подключён."},
    {"The session has ended. This page can be closed.", "Сеанс завершён. Эту страницу можно закрыть."},
    // line front end
    {"(end of input: back)", "(конец ввода: назад)"},
    {"number or b> ", "номер или b> "},
    {"numbers, a (all) or b> ", "номера, a (все) или b> "},
    {"(press Enter to go back)", "(Enter: назад)"},
    {"Enter to leave> ", "Enter: выход> "},
    {"number> ", "номер> "},
    {"(type a button number and Enter)", "(введите номер кнопки и Enter)"},
};

}  // namespace

const char *say(const char *english) {
  if (session().library().language() != Language::Russian) return english;
  for (const Phrase &p : kPhrases)
    if (std::strcmp(p.en, english) == 0) return p.ru;
  return english;
}

}  // namespace stdhost

namespace stdhost {

std::string countOf(int n, const char *one, const char *many) {
  // Russian plural forms are avoided altogether: "Кодов: 2".
  if (session().library().language() == Language::Russian) return std::string(say(many)) + ": " + std::to_string(n);
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace stdhost
