#include "files/Language.h"

namespace storage {

namespace {
// Texts are Windows-1251 bytes; the comments give them readably.
const BuiltinText kMessages[] = {
    {"MainForm", "ErrorMsg",
     "\xCE\xF8\xE8\xE1\xEA\xE0. \xCD\xF3 \xE8 \xF5\xF0\xE5\xED \xF1 \xED\xE5\xE9."}, // Ошибка. Ну и
                                                                                     // хрен с ней.
    {"MainForm", "ObjectsChanged",
     "\xC1\xE0\xE7\xE0 \xEE\xE1\xFA\xE5\xEA\xF2\xEE\xE2 \xE1\xFB\xEB\xE0 "
     "\xE8\xE7\xEC\xE5\xED\xE5\xED\xE0. \xD1\xEE\xF5\xF0\xE0\xED\xE8\xF2\xFC?"}, // База объектов
                                                                                 // была изменена.
                                                                                 // Сохранить?
    {"MainForm", "CantOverwriteFile",
     "\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xEF\xE5\xF0\xE5\xEF\xE8\xF1\xE0\xF2\xFC "
     "\xF4\xE0\xE9\xEB"}, // Не удалось переписать файл
    {"MainForm", "DeleteManually",
     "\xD3\xE4\xE0\xEB\xE8\xF2\xE5 \xE5\xE3\xEE \xE2\xF0\xF3\xF7\xED\xF3\xFE \xE8 "
     "\xEF\xEE\xEF\xF0\xEE\xE1\xF3\xE9\xF2\xE5 \xF1\xEE\xF5\xF0\xE0\xED\xE8\xF2\xFC "
     "\xF1\xED\xEE\xE2\xE0."}, // Удалите его вручную и попробуйте сохранить снова.
    {"MainForm", "DamagedZoneKept",
     "\xC7\xEE\xED\xE0 \xE7\xE0\xE3\xF0\xF3\xE7\xE8\xEB\xE0\xF1\xFC \xF1 "
     "\xEE\xF8\xE8\xE1\xEA\xEE\xE9. \xC5\xB8 \xF4\xE0\xE9\xEB \xF1\xEE\xF5\xF0\xE0\xED\xB8\xED "
     "\xE1\xE5\xE7 \xE8\xE7\xEC\xE5\xED\xE5\xED\xE8\xE9 \xEA\xE0\xEA"}, // Зона загрузилась с
                                                                        // ошибкой. Её файл сохранён
                                                                        // без изменений как
    {"MainForm", "DamagedIdsKept",
     "\xD4\xE0\xE9\xEB \xED\xEE\xEC\xE5\xF0\xEE\xE2 \xEA\xEE\xEC\xED\xE0\xF2 \xE8\xE3\xF0\xFB "
     "\xE7\xE0\xE3\xF0\xF3\xE7\xE8\xEB\xF1\xFF \xF1 \xEE\xF8\xE8\xE1\xEA\xEE\xE9. \xCE\xED "
     "\xF1\xEE\xF5\xF0\xE0\xED\xB8\xED \xE1\xE5\xE7 \xE8\xE7\xEC\xE5\xED\xE5\xED\xE8\xE9 "
     "\xEA\xE0\xEA"}, // Файл номеров комнат игры загрузился с ошибкой. Он сохранён без изменений
                      // как
    {"MainForm", "CantSaveObjects",
     "\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xF1\xEE\xF5\xF0\xE0\xED\xE8\xF2\xFC "
     "\xE1\xE0\xE7\xF3 \xEE\xE1\xFA\xE5\xEA\xF2\xEE\xE2"}, // Не удалось сохранить базу
                                                           // объектов
    {"MainForm", "CantWriteWorld",
     "\xCF\xE0\xEF\xEA\xE0 \xEC\xE8\xF0\xE0 \xE7\xE0\xEA\xF0\xFB\xF2\xE0 \xE4\xEB\xFF "
     "\xE7\xE0\xEF\xE8\xF1\xE8:"}, // Папка мира закрыта для записи:
    {"MainForm", "MapKeptInMemory",
     "\xCA\xE0\xF0\xF2\xE0 \xEE\xF1\xF2\xE0\xEB\xE0\xF1\xFC \xE2 \xEF\xE0\xEC\xFF\xF2\xE8 \xE8 "
     "\xE1\xF3\xE4\xE5\xF2 \xE7\xE0\xEF\xE8\xF1\xE0\xED\xE0, \xEA\xE0\xEA \xF2\xEE\xEB\xFC\xEA\xEE "
     "\xE7\xE0\xEF\xE8\xF1\xFC \xF1\xED\xEE\xE2\xE0 \xF1\xF2\xE0\xED\xE5\xF2 "
     "\xE2\xEE\xE7\xEC\xEE\xE6\xED\xE0."}, // Карта осталась в памяти и будет записана, как
                                           // только запись снова станет возможна.
    {"MainForm", "MapSavedAgain",
     "\xCA\xE0\xF0\xF2\xE0 \xF1\xED\xEE\xE2\xE0 \xE7\xE0\xEF\xE8\xF1\xE0\xED\xE0."}, // Карта снова
                                                                                     // записана.
    {"MainForm", "CloseUnsaved",
     "\xCA\xE0\xF0\xF2\xE0 \xED\xE5 \xE7\xE0\xEF\xE8\xF1\xE0\xED\xE0. "
     "\xC7\xE0\xEA\xF0\xFB\xF2\xFC \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xF3, \xED\xE5 "
     "\xF1\xEE\xF5\xF0\xE0\xED\xE8\xE2 \xE5\xB8?"}, // Карта не записана. Закрыть программу, не
                                                    // сохранив её?
    {"MainForm", "CantFindWorld",
     "\xCD\xE5 \xED\xE0\xE9\xE4\xE5\xED \xEC\xE8\xF0"}, // Не найден мир
    {"MainForm", "LoadingUnable",
     "\xC7\xE0\xE3\xF0\xF3\xE7\xEA\xE0 \xED\xE5\xE2\xEE\xE7\xEC\xEE\xE6\xED\xE0."}, // Загрузка
                                                                                    // невозможна.
    {"MainForm", "World", "\xCC\xE8\xF0"}, // Мир
    {"MainForm", "AlreadyExistLoadIt",
     "\xF3\xE6\xE5 \xF1\xF3\xF9\xE5\xF1\xF2\xE2\xF3\xE5\xF2. \xC7\xE0\xE3\xF0\xF3\xE7\xE8\xF2\xFC "
     "\xE5\xE3\xEE?"}, // уже существует. Загрузить его?
    {"MainForm", "CantStartNewZone",
     "\xC2 \xF3\xEA\xE0\xE7\xE0\xED\xED\xEE\xEC \xED\xE0\xEF\xF0\xE0\xE2\xEB\xE5\xED\xE8\xE8 "
     "\xED\xEE\xE2\xF3\xFE \xEA\xE0\xF0\xF2\xF3 \xED\xE0\xF7\xE0\xF2\xFC "
     "\xED\xE5\xEB\xFC\xE7\xFF."}, // В указанном направлении новую карту начать нельзя.
    {"MainForm", "CantMergeZone",
     "\xC2 \xF3\xEA\xE0\xE7\xE0\xED\xED\xEE\xEC \xED\xE0\xEF\xF0\xE0\xE2\xEB\xE5\xED\xE8\xE8 "
     "\xEA\xE0\xF0\xF2\xF3 \xEF\xF0\xE8\xF1\xEE\xE5\xE4\xE8\xED\xE8\xF2\xFC "
     "\xED\xE5\xEB\xFC\xE7\xFF."}, // В указанном направлении карту присоединить нельзя.
    {"MainForm", "TransparencyWillTurnedOn",
     "\xD3\xEF\xF0\xE0\xE2\xEB\xE5\xED\xE8\xE5 "
     "\xEF\xF0\xEE\xE7\xF0\xE0\xF7\xED\xEE\xF1\xF2\xFC\xFE \xE1\xF3\xE4\xE5\xF2 "
     "\xE2\xFB\xEA\xEB\xFE\xF7\xE5\xED\xEE \xEF\xF0\xE8 \xF1\xEB\xE5\xE4\xF3\xFE\xF9\xE5\xEC "
     "\xE7\xE0\xEF\xF3\xF1\xEA\xE5 \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB."}, // Управление
                                                                            // прозрачностью будет
                                                                            // выключено при
                                                                            // следующем запуске
                                                                            // программы.
    {"MainForm", "SpeedwalkUnabled",
     "\xD1\xEF\xE8\xE4\xE2\xEE\xEB\xEA \xF1\xFE\xE4\xE0 "
     "\xED\xE5\xE2\xEE\xE7\xEC\xEE\xE6\xE5\xED."}, // Спидволк сюда невозможен.
    {"MainForm", "StringNotFound",
     "\xD1\xF2\xF0\xEE\xEA\xE0 \xED\xE5 \xED\xE0\xE9\xE4\xE5\xED\xE0:"}, // Строка не найдена:
    {"MainForm", "Replace", "\xC7\xE0\xEC\xE5\xED\xE8\xF2\xFC:"}, // Заменить:
    {"MainForm", "InAllDescriptions",
     "\xE2\xEE \xE2\xF1\xE5\xF5 \xEE\xEF\xE8\xF1\xE0\xED\xE8\xFF\xF5?"}, // во всех описаниях?
    {"MainForm", "FoundAndReplaced",
     "\xCD\xE0\xE9\xE4\xE5\xED\xEE \xE8 \xE7\xE0\xEC\xE5\xED\xE5\xED\xEE "
     "\xE2\xF5\xEE\xE6\xE4\xE5\xED\xE8\xE9:"}, // Найдено и заменено вхождений:
    {"MainForm", "RoomNotFound",
     "\xCF\xEE\xEB\xE5 \xED\xE5 \xED\xE0\xE9\xE4\xE5\xED\xEE."}, // Поле не найдено.
    {"SaveLoadForm", "WorldMessage", "\xCC\xE8\xF0"},            // Мир
    {"SaveLoadForm", "WorldExistsMessage",
     "\xF3\xE6\xE5 \xF1\xF3\xF9\xE5\xF1\xF2\xE2\xF3\xE5\xF2. "
     "\xCF\xE5\xF0\xE5\xE7\xE0\xEF\xE8\xF1\xE0\xF2\xFC \xE5\xE3\xEE?"}, // уже существует.
                                                                        // Перезаписать его?
    {"SaveLoadForm", "DeleteMessage",
     "\xC2\xFB \xF3\xE2\xE5\xF0\xE5\xED\xFB, \xF7\xF2\xEE \xF5\xEE\xF2\xE8\xF2\xE5 "
     "\xF3\xE4\xE0\xEB\xE8\xF2\xFC \xEC\xE8\xF0"}, // Вы уверены, что хотите удалить мир
    {"SaveLoadForm", "CantDeleteLoadedWorld",
     "\xCD\xE5\xEB\xFC\xE7\xFF \xF3\xE4\xE0\xEB\xE8\xF2\xFC \xEC\xE8\xF0, "
     "\xEA\xEE\xF2\xEE\xF0\xFB\xE9 \xF1\xE5\xE9\xF7\xE0\xF1 "
     "\xE7\xE0\xE3\xF0\xF3\xE6\xE5\xED:"}, // Нельзя удалить мир, который сейчас загружен:
    {"SaveLoadForm", "DeleteWorldFailed",
     "\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xF3\xE4\xE0\xEB\xE8\xF2\xFC \xEC\xE8\xF0"}, // Не
                                                                                         // удалось
                                                                                         // удалить
                                                                                         // мир
    {"SaveLoadForm", "CantRenameLoadedWorld",
     "\xCD\xE5\xEB\xFC\xE7\xFF \xEF\xE5\xF0\xE5\xE8\xEC\xE5\xED\xEE\xE2\xE0\xF2\xFC \xEC\xE8\xF0, "
     "\xEA\xEE\xF2\xEE\xF0\xFB\xE9 \xF1\xE5\xE9\xF7\xE0\xF1 "
     "\xE7\xE0\xE3\xF0\xF3\xE6\xE5\xED:"}, // Нельзя переименовать мир, который сейчас загружен:
    {"SaveLoadForm", "RenameWorldFailed",
     "\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC "
     "\xEF\xE5\xF0\xE5\xE8\xEC\xE5\xED\xEE\xE2\xE0\xF2\xFC \xEC\xE8\xF0"}, // Не удалось
                                                                           // переименовать мир
    {"SaveLoadForm", "WorldAlreadyExists",
     "\xF3\xE6\xE5 \xF1\xF3\xF9\xE5\xF1\xF2\xE2\xF3\xE5\xF2."}, // уже существует.
    {"SaveLoadForm", "LoadCaption",
     "\xC7\xE0\xE3\xF0\xF3\xE7\xE8\xF2\xFC \xEC\xE8\xF0..."}, // Загрузить мир...
    {"SaveLoadForm", "btnOkLoad", "\xC7\xE0\xE3\xF0\xF3\xE7\xE8\xF2\xFC"}, // Загрузить
    {"SaveLoadForm", "SaveAsCaption",
     "\xD1\xEE\xF5\xF0\xE0\xED\xE8\xF2\xFC \xEC\xE8\xF0 \xEA\xE0\xEA..."}, // Сохранить мир как...
    {"SaveLoadForm", "btnOkSave", "\xD1\xEE\xF5\xF0\xE0\xED\xE8\xF2\xFC"}, // Сохранить
    {"SaveLoadForm", "NewCaption",
     "\xD1\xEE\xE7\xE4\xE0\xF2\xFC \xED\xEE\xE2\xFB\xE9 \xEC\xE8\xF0..."}, // Создать новый мир...
    {"SaveLoadForm", "btnOkNew", "\xD1\xEE\xE7\xE4\xE0\xF2\xFC"}, // Создать
    {"ConfigForm", "ConvertMaps",
     "\xC2\xFB \xE4\xE5\xE9\xF1\xF2\xE2\xE8\xF2\xE5\xEB\xFC\xED\xEE \xF5\xEE\xF2\xE8\xF2\xE5 "
     "\xE7\xE0\xEC\xE5\xED\xE8\xF2\xFC \xF1\xEF\xEE\xF1\xEE\xE1 \xE2\xFB\xE1\xEE\xF0\xE0 "
     "\xE0\xE2\xF2\xEE\xE2\xFB\xF5\xEE\xE4\xEE\xE2 \xE8 "
     "\xF1\xEA\xEE\xED\xE2\xE5\xF0\xF2\xE8\xF0\xEE\xE2\xE0\xF2\xFC \xEA\xE0\xF0\xF2\xFB?"}, // Вы
                                                                                            // действительно
                                                                                            // хотите
                                                                                            // заменить
                                                                                            // способ
                                                                                            // выбора
                                                                                            // автовыходов
                                                                                            // и
                                                                                            // сконвертировать
                                                                                            // карты?
    {"PropertyForm", "RoomNumber", "\xCA\xEE\xEC\xED\xE0\xF2\xE0 #"}, // Комната #
    {"PropertyForm", "NotFoundInZone",
     "\xED\xE5 \xED\xE0\xE9\xE4\xE5\xED\xE0 \xE2 \xE7\xEE\xED\xE5"}, // не найдена в зоне
    {"PropertyForm", "SetNewOppositeLink",
     "\xD3\xF1\xF2\xE0\xED\xEE\xE2\xE8\xF2\xFC \xED\xEE\xE2\xFB\xE9 "
     "\xE2\xF1\xF2\xF0\xE5\xF7\xED\xFB\xE9 \xEB\xE8\xED\xEA \xE8\xE7 \xE7\xEE\xED\xFB"}, // Установить
                                                                                         // новый
                                                                                         // встречный
                                                                                         // линк из
                                                                                         // зоны
    {"PropertyForm", "DeleteOppositeLink",
     "\xD3\xE4\xE0\xEB\xE8\xF2\xFC \xF1\xF2\xE0\xF0\xFB\xE9 \xE2\xF1\xF2\xF0\xE5\xF7\xED\xFB\xE9 "
     "\xEB\xE8\xED\xEA \xE8\xE7 \xE7\xEE\xED\xFB"}, // Удалить старый встречный линк из зоны
    {"PropertyForm", "DeleteLink",
     "\xD3\xE4\xE0\xEB\xE8\xF2\xFC \xEB\xE8\xED\xEA \xE2 \xE7\xEE\xED\xF3"}, // Удалить линк в зону
};

// Controls of the main window: menu items, buttons and page tabs.
const BuiltinText kMainFormControls[] =
    {
        {"MainForm", "nFile", "\xD4\xE0\xE9\xEB"},                      // Файл
        {"MainForm", "nNewWorld", "\xCD\xEE\xE2\xFB\xE9 \xEC\xE8\xF0"}, // Новый мир
        {"MainForm", "nLoadWorld",
         "\xC7\xE0\xE3\xF0\xF3\xE7\xE8\xF2\xFC \xEC\xE8\xF0..."}, // Загрузить мир...
        {"MainForm", "nSaveWorld",
         "\xD1\xEE\xF5\xF0\xE0\xED\xE8\xF2\xFC \xEC\xE8\xF0"}, // Сохранить мир
        {"MainForm", "nSaveWorldAs",
         "\xD1\xEE\xF5\xF0\xE0\xED\xE8\xF2\xFC \xEC\xE8\xF0 \xEA\xE0\xEA..."}, // Сохранить мир
                                                                               // как...
        {"MainForm", "nNewZone", "\xCD\xEE\xE2\xE0\xFF \xE7\xEE\xED\xE0"}, // Новая зона
        {"MainForm", "nExit", "\xC2\xFB\xF5\xEE\xE4"},                     // Выход
        {"MainForm", "nUndoMap",
         "\xCE\xF2\xEC\xE5\xED\xE8\xF2\xFC \xE8\xE7\xEC\xE5\xED\xE5\xED\xE8\xFF "
         "\xE7\xEE\xED\xFB"}, // Отменить изменения зоны
        {"MainForm", "nConfig", "\xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8"}, // Настройки
        {"MainForm", "nCenter", "\xD6\xE5\xED\xF2\xF0\xE8\xF0\xEE\xE2\xE0\xF2\xFC"}, // Центрировать
        {"MainForm", "nShowTree",
         "\xCF\xEE\xEA\xE0\xE7\xFB\xE2\xE0\xF2\xFC \xE4\xE5\xF0\xE5\xE2\xEE"}, // Показывать дерево
        {"MainForm", "nAutolink",
         "\xC0\xE2\xF2\xEE\xEB\xE8\xED\xEA\xEE\xE2\xEA\xE0"}, // Автолинковка
        {"MainForm", "nStayOnTop",
         "\xCF\xEE\xE2\xE5\xF0\xF5 \xE2\xF1\xE5\xF5 \xEE\xEA\xEE\xED"}, // Поверх всех окон
        {"MainForm", "nShowNote",
         "\xCF\xEE\xEA\xE0\xE7\xFB\xE2\xE0\xF2\xFC \xE7\xE0\xEC\xE5\xF2\xEA\xF3"}, // Показывать
                                                                                   // заметку
        {"MainForm", "nShowLog",
         "\xCF\xEE\xEA\xE0\xE7\xFB\xE2\xE0\xF2\xFC \xE6\xF3\xF0\xED\xE0\xEB"}, // Показывать журнал
        {"MainForm", "nTransparency",
         "\xCF\xF0\xEE\xE7\xF0\xE0\xF7\xED\xEE\xF1\xF2\xFC"}, // Прозрачность
        {"MainForm", "tbLevelUp",
         "\xCD\xE0 \xF3\xF0\xEE\xE2\xE5\xED\xFC \xE2\xE2\xE5\xF0\xF5"}, // На уровень вверх
        {"MainForm", "tbLevelDown",
         "\xCD\xE0 \xF3\xF0\xEE\xE2\xE5\xED\xFC \xE2\xED\xE8\xE7"}, // На уровень вниз
        {"MainForm", "nStopTrace",
         "\xCE\xF1\xF2\xE0\xED\xEE\xE2\xE8\xF2\xFC "
         "\xF2\xF0\xE0\xF1\xF1\xE8\xF0\xEE\xE2\xEA\xF3"}, // Остановить
                                                          // трассировку
        {"MainForm", "nSpeedWalk",
         "\xD1\xEF\xE8\xE4\xE2\xEE\xEB\xEA \xE4\xEE \xEF\xEE\xEB\xFF"}, // Спидволк до поля
        {"MainForm", "nSpeedWalkNT",
         "\xD1\xEF\xE8\xE4\xE2\xEE\xEB\xEA \xE1\xE5\xE7 "
         "\xF0\xE0\xE7\xE4\xE5\xEB\xE8\xF2\xE5\xEB\xE5\xE9 \xE2 \xE1\xF3\xF4\xE5\xF0 "
         "\xEE\xE1\xEC\xE5\xED\xE0"}, // Спидволк без разделителей в буфер обмена
        {"MainForm", "nSpeedWalkNTD",
         "\xD1\xEF\xE8\xE4\xE2\xEE\xEB\xEA \xF1 "
         "\xF0\xE0\xE7\xE4\xE5\xEB\xE8\xF2\xE5\xEB\xFF\xEC\xE8 "
         "\xE2 \xE1\xF3\xF4\xE5\xF0 \xEE\xE1\xEC\xE5\xED\xE0"}, // Спидволк с разделителями в буфер
                                                                // обмена
        {"MainForm", "nRemoveRoom",
         "\xD3\xE1\xF0\xE0\xF2\xFC \xE8\xE7 \xF1\xEF\xE8\xF1\xEA\xE0"}, // Убрать из списка
        {"MainForm", "toNorth", "\xED\xE0 \xF1\xE5\xE2\xE5\xF0"},       // на север
        {"MainForm", "toSouth", "\xED\xE0 \xFE\xE3"},                   // на юг
        {"MainForm", "toEast", "\xED\xE0 \xE2\xEE\xF1\xF2\xEE\xEA"}, // на восток
        {"MainForm", "toWest", "\xED\xE0 \xE7\xE0\xEF\xE0\xE4"},     // на запад
        {"MainForm", "toUp", "\xE2\xE2\xE5\xF0\xF5"},                // вверх
        {"MainForm", "toDown", "\xE2\xED\xE8\xE7"},                  // вниз
        {"MainForm", "tabMap", "\xCA\xE0\xF0\xF2\xE0"},              // Карта
        {"MainForm", "tabObjects", "\xCE\xE1\xFA\xE5\xEA\xF2\xFB"},  // Объекты
        {"MainForm", "MemoObjectsHint",
         "\xC2\xFB\xE1\xE5\xF0\xE8\xF2\xE5 \xF3\xE7\xE5\xEB \xE2 \xE4\xE5\xF0\xE5\xE2\xE5, "
         "\xF7\xF2\xEE\xE1\xFB \xF3\xE2\xE8\xE4\xE5\xF2\xFC \xE5\xE3\xEE "
         "\xEE\xEF\xE8\xF1\xE0\xED\xE8\xE5"}, // Выберите узел в дереве, чтобы увидеть его описание
        {"MainForm", "tbSaveObjects",
         "\xD1\xEE\xF5\xF0\xE0\xED\xE8\xF2\xFC \xE1\xE0\xE7\xF3 "
         "\xEE\xE1\xFA\xE5\xEA\xF2\xEE\xE2"}, // Сохранить базу объектов
        {"MainForm", "tbDiscard",
         "\xCE\xF2\xEC\xE5\xED\xE8\xF2\xFC \xE8\xE7\xEC\xE5\xED\xE5\xED\xE8\xFF \xE1\xE0\xE7\xFB "
         "\xEE\xE1\xFA\xE5\xEA\xF2\xEE\xE2"}, // Отменить изменения базы объектов
        {"MainForm", "tbExpand",
         "\xD0\xE0\xE7\xE2\xE5\xF0\xED\xF3\xF2\xFC \xE2\xF1\xB8"}, // Развернуть всё
        {"MainForm", "tbCollapse", "\xD1\xE2\xE5\xF0\xED\xF3\xF2\xFC \xE2\xF1\xB8"}, // Свернуть всё
        {"MainForm", "tbSearch", "\xCD\xE0\xE9\xF2\xE8"},                            // Найти
        {"MainForm", "tbReplace", "\xC7\xE0\xEC\xE5\xED\xE8\xF2\xFC"},         // Заменить
        {"MainForm", "nWindow", "\xCE\xEA\xED\xEE"},                           // Окно
        {"MainForm", "nHelp", "\xCF\xEE\xEC\xEE\xF9\xFC"},                     // Помощь
        {"MainForm", "nHelpMain", "\xD1\xEE\xE4\xE5\xF0\xE6\xE0\xED\xE8\xE5"}, // Содержание
        {"MainForm", "nAbout", "\xCE \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5 ..."}, // О программе ...
        {"MainForm", "nnRenameZone",
         "\xCF\xE5\xF0\xE5\xE8\xEC\xE5\xED\xEE\xE2\xE0\xF2\xFC \xE7\xEE\xED\xF3"}, // Переименовать
                                                                                   // зону
        {"MainForm", "nnDeleteZone",
         "\xD3\xE4\xE0\xEB\xE8\xF2\xFC \xE7\xEE\xED\xF3"}, // Удалить зону
        {"MainForm", "nnLoadZone", "\xCE\xF2\xEA\xF0\xFB\xF2\xFC \xE7\xEE\xED\xF3"}, // Открыть зону
        {"MainForm", "nnLockZone",
         "\xC7\xE0\xE1\xEB\xEE\xEA\xE8\xF0\xEE\xE2\xE0\xF2\xFC \xE7\xEE\xED\xF3"}, // Заблокировать
                                                                                   // зону
        {"MainForm", "nnBindZone",
         "\xCF\xF0\xE8\xE2\xFF\xE7\xE0\xF2\xFC \xEA \xEE\xE1\xEB\xE0\xF1\xF2\xE8 "
         "\xE8\xE3\xF0\xFB..."}, // Привязать к области игры...
        {
            "MainForm", "nnUnbindZone",
            "\xCE\xF2\xE2\xFF\xE7\xE0\xF2\xFC \xEE\xF2 \xEE\xE1\xEB\xE0\xF1\xF2\xE8 "
            "\xE8\xE3\xF0\xFB"}, // Отвязать от области игры
        {"MainForm", "BindZoneCaption",
         "\xCE\xE1\xEB\xE0\xF1\xF2\xFC \xE8\xE3\xF0\xFB"}, // Область игры
        {"MainForm", "BindZoneLabel",
         "\xCE\xE1\xEB\xE0\xF1\xF2\xFC \xE8\xE3\xF0\xFB, \xF7\xFC\xE8 \xEA\xEE\xEC\xED\xE0\xF2\xFB "
         "\xEF\xEE\xEF\xE0\xE4\xE0\xFE\xF2 \xE2 \xE7\xEE\xED\xF3"}, // Область игры, чьи комнаты
                                                                    // попадают в зону
        {"MainForm", "nFindName",
         "\xCD\xE0\xE9\xF2\xE8 \xEF\xEE \xE8\xEC\xE5\xED\xE8"}, // Найти по имени
        {"MainForm", "nFindDesc",
         "\xCD\xE0\xE9\xF2\xE8 \xEF\xEE \xEE\xEF\xE8\xF1\xE0\xED\xE8\xFE"}, // Найти по описанию
        {"MainForm", "nFindNote",
         "\xCD\xE0\xE9\xF2\xE8 \xEF\xEE \xEF\xF0\xE8\xEC\xE5\xF7\xE0\xED\xE8\xFE"}, // Найти по
                                                                                    // примечанию
        {"MainForm", "nSelectRoom",
         "\xD2\xE5\xEA\xF3\xF9\xE0\xFF \xEF\xEE\xE7\xE8\xF6\xE8\xFF \xF2\xF3\xF2"}, // Текущая
                                                                                    // позиция тут
        {"MainForm", "nnShowOnMap",
         "\xCF\xEE\xEA\xE0\xE7\xE0\xF2\xFC \xED\xE0 \xEA\xE0\xF0\xF2\xE5"}, // Показать на карте
        {"MainForm", "nAddToQuickList",
         "\xC2\xEA\xEB\xFE\xF7\xE8\xF2\xFC \xE2 \xF1\xEF\xE8\xF1\xEE\xEA"}, // Включить в список
        {"MainForm", "nEditRoom",
         "\xD0\xE5\xE4\xE0\xEA\xF2\xE8\xF0\xEE\xE2\xE0\xF2\xFC \xEF\xEE\xEB\xE5"}, // Редактировать
                                                                                   // поле
        {"MainForm", "nProps",
         "\xD1\xE2\xEE\xE9\xF1\xF2\xE2\xE0 \xEF\xEE\xEB\xFF"}, // Свойства поля
        {"MainForm", "nColor", "\xD6\xE2\xE5\xF2"},            // Цвет
        {"MainForm", "nDT", "\xC4\xD2"},                       // ДТ
        {"MainForm", "nFlyDT", "\xD4\xEB\xE0\xE9 \xC4\xD2"},   // Флай ДТ
        {"MainForm", "nAgro", "\xC0\xE3\xF0\xEE\xEC\xEE\xE1\xF1\xEA\xE0\xFF"}, // Агромобская
        {"MainForm", "nNoStep", "\xCD\xE5\xEF\xF0\xEE\xF5\xEE\xE4\xE8\xEC\xE0\xFF"}, // Непроходимая
        {"MainForm", "nDeleteRoom",
         "\xD3\xE4\xE0\xEB\xE8\xF2\xFC \xEF\xEE\xEB\xE5"}, // Удалить поле
        {"MainForm", "nDeleteLink",
         "\xD3\xE4\xE0\xEB\xE8\xF2\xFC \xEA\xEE\xF0\xE8\xE4\xEE\xF0"}, // Удалить коридор
        {"MainForm", "nAddRoom",
         "\xC4\xEE\xE1\xE0\xE2\xE8\xF2\xFC \xEF\xEE\xEB\xE5"}, // Добавить поле
        {"MainForm", "nShiftRoom",
         "\xD1\xE4\xE2\xE8\xED\xF3\xF2\xFC \xEF\xEE\xEB\xE5"}, // Сдвинуть поле
        {"MainForm", "nLong", "\xCA\xEE\xF0\xE8\xE4\xEE\xF0"}, // Коридор
        {"MainForm", "nDoor", "\xC4\xE2\xE5\xF0\xFC"},         // Дверь
        {"MainForm", "nStartNewZone",
         "\xCD\xE0\xF7\xE0\xF2\xFC \xED\xEE\xE2\xF3\xFE \xE7\xEE\xED\xF3"}, // Начать новую зону
        {"MainForm", "nMerge",
         "\xCF\xF0\xE8\xF1\xEE\xE5\xE4\xE8\xED\xE8\xF2\xFC \xE7\xEE\xED\xF3"}, // Присоединить зону
        {"MainForm", "nShowZone",
         "\xCF\xEE\xEA\xE0\xE7\xE0\xF2\xFC \xE7\xEE\xED\xF3"}, // Показать зону
        {"MainForm", "nAddNode",
         "\xC4\xEE\xE1\xE0\xE2\xE8\xF2\xFC \xF3\xE7\xE5\xEB"}, // Добавить узел
        {"MainForm", "nAddChild",
         "\xC4\xEE\xE1\xE0\xE2\xE8\xF2\xFC \xEF\xEE\xE4\xF3\xE7\xE5\xEB"}, // Добавить подузел
        {"MainForm", "nSort", "\xD1\xEE\xF0\xF2\xE8\xF0\xEE\xE2\xE0\xF2\xFC"}, // Сортировать
        {"MainForm", "nDeleteNode",
         "\xD3\xE4\xE0\xEB\xE8\xF2\xFC \xF3\xE7\xE5\xEB"},               // Удалить узел
        {"MainForm", "nSearch", "\xCD\xE0\xE9\xF2\xE8..."},              // Найти...
        {"MainForm", "nReplace", "\xC7\xE0\xEC\xE5\xED\xE8\xF2\xFC..."}, // Заменить...
        {"MainForm", "nAddFromFile",
         "\xC4\xEE\xE1\xE0\xE2\xE8\xF2\xFC \xE8\xE7 \xF4\xE0\xE9\xEB\xE0..."}, // Добавить из
                                                                               // файла...
        {"MainForm", "nGroupTell",
         "\xCE\xF2\xEF\xF0\xE0\xE2\xE8\xF2\xFC \xE2 \xE3\xF0\xF3\xEF\xEF\xF3"}, // Отправить в
                                                                                // группу
        {"MainForm", "nClanTell",
         "\xCE\xF2\xEF\xF0\xE0\xE2\xE8\xF2\xFC \xE2 \xEA\xEB\xE0\xED"}, // Отправить в клан
};
} // namespace

std::span<const BuiltinText> BuiltinMessages() {
    return kMessages;
}
std::span<const BuiltinText> MainFormControls() {
    return kMainFormControls;
}

} // namespace storage
