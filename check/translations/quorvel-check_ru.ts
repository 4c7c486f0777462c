<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Check</name>
    <message>
        <source>the same station is also in %1: an identical copy, counted once</source>
        <translation>та же станция есть и в %1: точная копия, учтена один раз</translation>
    </message>
    <message>
        <source>stations %1 of %2, files %3 of %4</source>
        <translation>станций: %1 из %2, файлов: %3 из %4</translation>
    </message>
    <message>
        <source>, about %1 left</source>
        <translation>, осталось около %1</translation>
    </message>
    <message>
        <source>quorvel-check: --report needs a file name</source>
        <translation>quorvel-check: после --report нужно имя файла</translation>
    </message>
    <message>
        <source>quorvel-check: no answer folder Answer_… found</source>
        <translation>quorvel-check: не найдено ни одной папки Answer_…</translation>
    </message>
    <message>
        <source>quorvel-check: cannot write the report %1: %2</source>
        <translation>quorvel-check: не удалось записать отчёт %1: %2</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>нет доступа</translation>
    </message>
    <message>
        <source>no such file or folder</source>
        <translation>нет такого файла или папки</translation>
    </message>
    <message>
        <source>not a folder</source>
        <translation>не папка</translation>
    </message>
    <message>
        <source>input/output error</source>
        <translation>ошибка ввода-вывода</translation>
    </message>
    <message>
        <source>too many levels of symbolic links</source>
        <translation>слишком много уровней символических ссылок</translation>
    </message>
    <message>
        <source>a folder, not a file</source>
        <translation>папка, а не файл</translation>
    </message>
    <message>
        <source>not 13 digits</source>
        <translation>не 13 цифр</translation>
    </message>
    <message>
        <source>does not begin with 275</source>
        <translation>не начинается на 275</translation>
    </message>
    <message>
        <source>wrong check digit</source>
        <translation>неверная контрольная цифра</translation>
    </message>
    <message>
        <source>no journal %1.log</source>
        <translation>нет журнала %1.log</translation>
    </message>
    <message>
        <source>journal %1.log cannot be read: %2</source>
        <translation>журнал %1.log не читается: %2</translation>
    </message>
    <message>
        <source>no manifest %1</source>
        <translation>нет списка контрольных сумм %1</translation>
    </message>
    <message>
        <source>manifest %1 cannot be read: %2</source>
        <translation>список контрольных сумм %1 не читается: %2</translation>
    </message>
    <message>
        <source>manifest %1 cannot be read</source>
        <translation>список контрольных сумм %1 не читается</translation>
    </message>
    <message>
        <source>answer folder %1 missing from the copy</source>
        <translation>папки ответов %1 нет в копии</translation>
    </message>
    <message>
        <source>answer folder %1 cannot be read: %2</source>
        <translation>папка ответов %1 не читается: %2</translation>
    </message>
    <message>
        <source>not a participant folder: %1/%2 (%3)</source>
        <translation>не папка участника: %1/%2 (%3)</translation>
    </message>
    <message>
        <source>folder missing from the copy</source>
        <translation>папки нет в копии</translation>
    </message>
    <message>
        <source>folder cannot be read: %1</source>
        <translation>папка не читается: %1</translation>
    </message>
    <message numerus="yes">
        <source>the manifest lists %n file(s) not there: %1</source>
        <translation>
            <numerusform>в списке контрольных сумм %n файл, которого нет: %1</numerusform>
            <numerusform>в списке контрольных сумм %n файла, которых нет: %1</numerusform>
            <numerusform>в списке контрольных сумм %n файлов, которых нет: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>missing (listed in the manifest)</source>
        <translation>отсутствует (есть в списке контрольных сумм)</translation>
    </message>
    <message>
        <source>missing</source>
        <translation>отсутствует</translation>
    </message>
    <message>
        <source>cannot be read: %1</source>
        <translation>не читается: %1</translation>
    </message>
    <message>
        <source>a link, not a file</source>
        <translation>ссылка, а не файл</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>не обычный файл</translation>
    </message>
    <message>
        <source>is not an Ogg Vorbis file</source>
        <translation>не файл Ogg Vorbis</translation>
    </message>
    <message>
        <source>does not decode</source>
        <translation>не декодируется</translation>
    </message>
    <message>
        <source>is damaged inside, at %1</source>
        <translation>повреждён внутри, на %1</translation>
    </message>
    <message>
        <source>stops decoding at %1</source>
        <translation>декодируется только до %1</translation>
    </message>
    <message>
        <source>has no recording-stop line in the journal</source>
        <translation>нет строки recording-stop в журнале</translation>
    </message>
    <message>
        <source>decodes to %1 s, the journal says %2 s recorded</source>
        <translation>длится %1 с, по журналу записано %2 с</translation>
    </message>
    <message>
        <source>is %1 s, longer than its period of %2 s</source>
        <translation>длится %1 с, дольше отведённых %2 с</translation>
    </message>
    <message>
        <source>has no line in the manifest</source>
        <translation>нет строки в списке контрольных сумм</translation>
    </message>
    <message>
        <source>differs from the manifest checksum</source>
        <translation>не совпадает с контрольной суммой</translation>
    </message>
    <message>
        <source>fault</source>
        <translation>ошибка</translation>
    </message>
    <message>
        <source>none</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>complete</source>
        <translation>полный</translation>
    </message>
    <message>
        <source>remarks</source>
        <translation>замечания</translation>
    </message>
    <message>
        <source>incomplete</source>
        <translation>неполный</translation>
    </message>
    <message>
        <source>journal: %1</source>
        <translation>журнал: %1</translation>
    </message>
    <message>
        <source>program unknown</source>
        <translation>программа неизвестна</translation>
    </message>
    <message>
        <source>journal %1 – %2</source>
        <translation>журнал %1 – %2</translation>
    </message>
    <message numerus="yes">
        <source>%n participant(s)</source>
        <translation>
            <numerusform>%n участник</numerusform>
            <numerusform>%n участника</numerusform>
            <numerusform>%n участников</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n complete</source>
        <translation>
            <numerusform>, полных: %n</numerusform>
            <numerusform>, полных: %n</numerusform>
            <numerusform>, полных: %n</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n with remarks</source>
        <translation>
            <numerusform>, с замечаниями: %n</numerusform>
            <numerusform>, с замечаниями: %n</numerusform>
            <numerusform>, с замечаниями: %n</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n incomplete or damaged</source>
        <translation>
            <numerusform>, неполных или повреждённых: %n</numerusform>
            <numerusform>, неполных или повреждённых: %n</numerusform>
            <numerusform>, неполных или повреждённых: %n</numerusform>
        </translation>
    </message>
    <message>
        <source>participant</source>
        <translation>участник</translation>
    </message>
    <message>
        <source>of 8</source>
        <translation>из 8</translation>
    </message>
    <message>
        <source>min</source>
        <translation>мин</translation>
    </message>
    <message>
        <source>state</source>
        <translation>итог</translation>
    </message>
    <message>
        <source>faults</source>
        <translation>ошибки</translation>
    </message>
    <message>
        <source>no participant folders</source>
        <translation>нет папок участников</translation>
    </message>
    <message>
        <source>signature</source>
        <translation>подпись</translation>
    </message>
    <message>
        <source>date</source>
        <translation>дата</translation>
    </message>
    <message>
        <source>en</source>
        <extracomment>The language code of the report page</extracomment>
        <translation>ru</translation>
    </message>
    <message>
        <source>Answers collected</source>
        <translation>Собранные ответы</translation>
    </message>
    <message>
        <source>Checked %1 by quorvel-check --answers.</source>
        <translation>Проверено %1 программой quorvel-check --answers.</translation>
    </message>
    <message>
        <source>stations</source>
        <translation>станций</translation>
    </message>
    <message>
        <source>stations without faults</source>
        <translation>станций без ошибок</translation>
    </message>
    <message>
        <source>participants</source>
        <translation>участников</translation>
    </message>
    <message>
        <source>good</source>
        <translation>в порядке</translation>
    </message>
    <message>
        <source>faulty</source>
        <translation>с ошибкой</translation>
    </message>
    <message>
        <source>remarks in the journal</source>
        <translation>замечания в журнале</translation>
    </message>
    <message>
        <source>Needs attention</source>
        <translation>Требует внимания</translation>
    </message>
    <message>
        <source>nothing: every answer is in order</source>
        <translation>ничего: все ответы в порядке</translation>
    </message>
    <message>
        <source>folder %1: %2</source>
        <translation>папка %1: %2</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 не папка</translation>
    </message>
    <message>
        <source>folder %1 cannot be read: %2</source>
        <translation>папка %1 не читается: %2</translation>
    </message>
    <message>
        <source>station %1, room %2, venue %3</source>
        <translation>станция %1, аудитория %2, ППЭ %3</translation>
    </message>
    <message>
        <source>Answer_%1 in %2</source>
        <translation>Answer_%1 в %2</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>в порядке</translation>
    </message>
    <message>
        <source>ok, with remarks in the journal</source>
        <translation>в порядке, есть замечания в журнале</translation>
    </message>
    <message>
        <source>  %1  %2/%3  %4 min  %5</source>
        <translation>  %1  %2/%3  %4 мин  %5</translation>
    </message>
    <message>
        <source>      journal: %1</source>
        <translation>      журнал: %1</translation>
    </message>
    <message>
        <source>  journal: %1</source>
        <translation>  журнал: %1</translation>
    </message>
    <message numerus="yes">
        <source>station Answer_%1: %n participant(s)</source>
        <translation>
            <numerusform>станция Answer_%1: %n участник</numerusform>
            <numerusform>станция Answer_%1: %n участника</numerusform>
            <numerusform>станция Answer_%1: %n участников</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n station(s)</source>
        <translation>
            <numerusform>%n станция</numerusform>
            <numerusform>%n станции</numerusform>
            <numerusform>%n станций</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source> (%n without faults)</source>
        <translation>
            <numerusform> (без ошибок: %n)</numerusform>
            <numerusform> (без ошибок: %n)</numerusform>
            <numerusform> (без ошибок: %n)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n participant(s)</source>
        <translation>
            <numerusform>, %n участник</numerusform>
            <numerusform>, %n участника</numerusform>
            <numerusform>, %n участников</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>: %n complete</source>
        <translation>
            <numerusform>; полных: %n</numerusform>
            <numerusform>; полных: %n</numerusform>
            <numerusform>; полных: %n</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %n folder(s) not checked</source>
        <translation>
            <numerusform>; %n папка не проверена</numerusform>
            <numerusform>; %n папки не проверены</numerusform>
            <numerusform>; %n папок не проверено</numerusform>
        </translation>
    </message>
    <message>
        <source>the same code at %1 (Answer_%2)</source>
        <translation>тот же код: %1 (Answer_%2)</translation>
    </message>
    <message>
        <source>quorvel-check: no folder %1</source>
        <translation>quorvel-check: нет папки %1</translation>
    </message>
    <message>
        <source>quorvel-check: no folder KIM in %1; give the station folder that holds KIM</source>
        <translation>quorvel-check: в %1 нет папки KIM; укажите папку станции, в которой лежит KIM</translation>
    </message>
    <message>
        <source>quorvel-check: cannot enter %1</source>
        <translation>quorvel-check: не удалось перейти в %1</translation>
    </message>
    <message>
        <source>variant folders %1 (quorvel)</source>
        <translation>папки вариантов %1 (quorvel)</translation>
    </message>
    <message>
        <source>task texts directly in KIM (quorvel-flat)</source>
        <translation>тексты заданий прямо в KIM (quorvel-flat)</translation>
    </message>
    <message>
        <source>no task texts</source>
        <translation>нет текстов заданий</translation>
    </message>
    <message>
        <source>no variant folder KIM/0 .. KIM/9 and no task texts directly in KIM</source>
        <translation>нет папок вариантов KIM/0 .. KIM/9 и нет текстов заданий прямо в KIM</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s): %1 ok</source>
        <translation>
            <numerusform>%n файл: в порядке %1</numerusform>
            <numerusform>%n файла: в порядке %1</numerusform>
            <numerusform>%n файлов: в порядке %1</numerusform>
        </translation>
    </message>
    <message>
        <source>, %1 missing</source>
        <translation>, отсутствует: %1</translation>
    </message>
    <message>
        <source>, %1 failed</source>
        <translation>, с ошибкой: %1</translation>
    </message>
    <message>
        <source>there is &quot;%1&quot;; the letter case must match</source>
        <translation>есть «%1»; регистр букв должен совпадать</translation>
    </message>
    <message>
        <source>damaged</source>
        <translation>повреждён</translation>
    </message>
    <message>
        <source>WMF/EMF metafile</source>
        <translation>метафайл WMF/EMF</translation>
    </message>
    <message>
        <source>not PNG or JPEG</source>
        <translation>не PNG и не JPEG</translation>
    </message>
    <message>
        <source> (task texts)</source>
        <translation> (тексты заданий)</translation>
    </message>
    <message>
        <source>subject &quot;%1&quot;, answer folders Answer_%2_%3_…</source>
        <translation>предмет «%1», папки ответов Answer_%2_%3_…</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>строка %1: %2</translation>
    </message>
    <message>
        <source>line %1 empty</source>
        <translation>строка %1 пустая</translation>
    </message>
    <message>
        <source>lines %1 empty</source>
        <translation>строки %1 пустые</translation>
    </message>
    <message>
        <source> and </source>
        <translation> и </translation>
    </message>
    <message>
        <source>picture %1 of %2 shows as a blank box (%3)</source>
        <translation>рисунок %1 из %2 показан пустой рамкой (%3)</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n pictures show as blank boxes (%2)</source>
        <translation>
            <numerusform>%1 из %n рисунка показаны пустыми рамками (%2)</numerusform>
            <numerusform>%1 из %n рисунков показаны пустыми рамками (%2)</numerusform>
            <numerusform>%1 из %n рисунков показаны пустыми рамками (%2)</numerusform>
        </translation>
    </message>
    <message>
        <source>plain text</source>
        <translation>простой текст</translation>
    </message>
    <message>
        <source>nothing to show</source>
        <translation>нечего показать</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>ошибка</translation>
    </message>
    <message>
        <source>%1 differs between the copies: %2 and %3</source>
        <translation>%1 различается в копиях: %2 и %3</translation>
    </message>
    <message>
        <source>the same station is also in %1: a different copy, joined participant by participant</source>
        <translation>та же станция есть и в %1: копия отличается, копии объединены по участникам</translation>
    </message>
    <message>
        <source>in the copy in %1: %2</source>
        <translation>в копии в %1: %2</translation>
    </message>
    <message numerus="yes">
        <source>%n answer(s) decoded here: %1</source>
        <translation>
            <numerusform>%n ответ декодирован здесь: %1</numerusform>
            <numerusform>%n ответа декодированы здесь: %1</numerusform>
            <numerusform>%n ответов декодированы здесь: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>quorvel-check: unknown option %1 (see quorvel-check --help)</source>
        <translation>quorvel-check: неизвестный параметр %1 (см. quorvel-check --help)</translation>
    </message>
    <message numerus="yes">
        <source>manifest %1 names %n path(s) outside its answer folder, not followed: %2</source>
        <translation>
            <numerusform>список контрольных сумм %1 называет %n путь вне своей папки ответов, по нему не переходили: %2</numerusform>
            <numerusform>список контрольных сумм %1 называет %n пути вне своей папки ответов, по ним не переходили: %2</numerusform>
            <numerusform>список контрольных сумм %1 называет %n путей вне своей папки ответов, по ним не переходили: %2</numerusform>
        </translation>
    </message>
    <message>
        <source>manifest %1 is empty</source>
        <translation>список контрольных сумм %1 пуст</translation>
    </message>
    <message>
        <source>no participant in the answer folder %1</source>
        <translation>в папке ответов %1 нет ни одного участника</translation>
    </message>
    <message>
        <source>the station&apos;s check names no bytes</source>
        <translation>проверка станции записана без контрольной суммы</translation>
    </message>
    <message>
        <source>the station checked other bytes</source>
        <translation>станция проверяла другое содержимое файла</translation>
    </message>
    <message>
        <source>found only in the copy in %1</source>
        <translation>найден только в копии в %1</translation>
    </message>
    <message>
        <source>%1 leads nowhere: %2</source>
        <translation>%1 ведёт в никуда: %2</translation>
    </message>
    <message>
        <source>not an answer: %1</source>
        <translation>не ответ: %1</translation>
    </message>
    <message>
        <source>      found only in the copy in %1</source>
        <translation>      найден только в копии в %1</translation>
    </message>
    <message>
        <source>quorvel-check: %1 needs a file or folder name</source>
        <translation>quorvel-check: после %1 нужно имя файла или папки</translation>
    </message>
    <message>
        <source>quorvel-check: --seal and --out go together</source>
        <translation>quorvel-check: --seal и --out указываются вместе</translation>
    </message>
    <message>
        <source>quorvel-check: cannot seal: %1</source>
        <translation>quorvel-check: запечатать нельзя: %1</translation>
    </message>
    <message>
        <source>quorvel-check: %1 not sealed: %2</source>
        <translation>quorvel-check: %1 не запечатан: %2</translation>
    </message>
    <message>
        <source>yyyy-MM-dd</source>
        <extracomment>The date format of the report, as QDate::toString takes it</extracomment>
        <translation>dd.MM.yyyy</translation>
    </message>
    <message>
        <source>subject %1</source>
        <translation>предмет %1</translation>
    </message>
    <message>
        <source>venue %1 · room %2 · station %3</source>
        <translation>ППЭ %1 · аудитория %2 · станция %3</translation>
    </message>
    <message>
        <source>venue %1 · room %2</source>
        <translation>ППЭ %1 · аудитория %2</translation>
    </message>
    <message>
        <source>page %1 of %2</source>
        <extracomment>The page number in the running header of the printed report</extracomment>
        <translation>стр. %1 из %2</translation>
    </message>
    <message>
        <source>code</source>
        <translation>код</translation>
    </message>
    <message>
        <source>task 1</source>
        <translation>задание 1</translation>
    </message>
    <message>
        <source>task 3</source>
        <translation>задание 3</translation>
    </message>
    <message>
        <source>Columns: code, the participant&apos;s code spoken (file _00); task 1 (_01); 2.1 … 2.5, the five questions of task 2 (_02_1 … _02_5); task 3 (_03); lengths in minutes:seconds; of 8, the answers in order; min, the minutes recorded.</source>
        <translation>Столбцы: код — запись кода участника (файл _00); задание 1 (_01); 2.1 … 2.5 — пять вопросов задания 2 (_02_1 … _02_5); задание 3 (_03); длительность в минутах и секундах; из 8 — ответов в порядке; мин — минут записано.</translation>
    </message>
    <message>
        <source>every answer in order, remarks in the journal</source>
        <translation>все ответы в порядке, в журнале есть замечания</translation>
    </message>
    <message>
        <source>an answer missing or faulty</source>
        <translation>ответа нет или в нём ошибка</translation>
    </message>
    <message>
        <source>Technician who collected the answers</source>
        <translation>Технический специалист, собравший ответы</translation>
    </message>
    <message>
        <source>Head of the exam centre</source>
        <translation>Руководитель ППЭ</translation>
    </message>
    <message>
        <source>Member of the exam board</source>
        <translation>Член ГЭК</translation>
    </message>
    <message>
        <source>name</source>
        <translation>фамилия и инициалы</translation>
    </message>
    <message>
        <source>not sealed: %1</source>
        <translation>не запечатан: %1</translation>
    </message>
    <message>
        <source>Sealed archive %1, %2 bytes, SHA-256</source>
        <translation>Запечатанный архив %1, байт: %2, SHA-256</translation>
    </message>
    <message>
        <source>task 2</source>
        <translation>задание 2</translation>
    </message>
    <message>
        <source>summary</source>
        <extracomment>The running header of the report&apos;s summary pages</extracomment>
        <translation>сводка</translation>
    </message>
    <message>
        <source>answers collected</source>
        <translation>собранные ответы</translation>
    </message>
    <message>
        <source>complete</source>
        <comment>count of participants</comment>
        <translation>полных</translation>
    </message>
    <message>
        <source>complete, with remarks</source>
        <comment>count of participants</comment>
        <translation>полных, с замечаниями</translation>
    </message>
    <message>
        <source>incomplete or damaged</source>
        <comment>count of participants</comment>
        <translation>неполных или повреждённых</translation>
    </message>
    <message>
        <source>Sealed archives</source>
        <translation>Запечатанные архивы</translation>
    </message>
    <message>
        <source>station</source>
        <translation>станция</translation>
    </message>
    <message>
        <source>archive</source>
        <translation>архив</translation>
    </message>
    <message>
        <source>bytes</source>
        <translation>байт</translation>
    </message>
    <message>
        <source>centre</source>
        <translation>ППЭ</translation>
    </message>
    <message>
        <source>room</source>
        <translation>аудитория</translation>
    </message>
    <message>
        <source>answer folder</source>
        <translation>папка ответов</translation>
    </message>
    <message>
        <source>answer</source>
        <translation>ответ</translation>
    </message>
    <message>
        <source>file</source>
        <translation>файл</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>секунд</translation>
    </message>
    <message>
        <source>participant&apos;s state</source>
        <translation>итог участника</translation>
    </message>
    <message>
        <source>no temporary folder: %1</source>
        <translation>нет временной папки: %1</translation>
    </message>
    <message>
        <source>tar: %1</source>
        <translation>tar: %1</translation>
    </message>
    <message>
        <source>tar failed: %1</source>
        <translation>ошибка tar: %1</translation>
    </message>
    <message>
        <source>age failed: %1</source>
        <translation>ошибка age: %1</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>не удалось записать %1</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>не удалось записать %1: %2</translation>
    </message>
    <message>
        <source>no program age (Debian package age) beside quorvel-check or on PATH</source>
        <translation>нет программы age (пакет Debian age) ни рядом с quorvel-check, ни в PATH</translation>
    </message>
    <message>
        <source>no recipients file %1</source>
        <translation>нет файла получателей %1</translation>
    </message>
    <message>
        <source>recipients file %1 cannot be read: %2</source>
        <translation>файл получателей %1 не читается: %2</translation>
    </message>
    <message>
        <source>age did not answer</source>
        <translation>age не ответила</translation>
    </message>
    <message>
        <source>recipients file %1 holds no valid public key: %2</source>
        <translation>в файле получателей %1 нет верного открытого ключа: %2</translation>
    </message>
    <message>
        <source>cannot make the folder %1</source>
        <translation>не удалось создать папку %1</translation>
    </message>
    <message>
        <source># quorvel-check --seal, %1: one archive per station, its size in bytes and SHA-256</source>
        <translation># quorvel-check --seal, %1: по архиву на станцию, его размер в байтах и SHA-256</translation>
    </message>
    <message>
        <source>not sealed: %1: %2</source>
        <translation>не запечатан: %1: %2</translation>
    </message>
    <message>
        <source>quorvel-check: no folder %1 to copy to</source>
        <translation>quorvel-check: нет папки %1, куда копировать</translation>
    </message>
    <message>
        <source>copied %1 of %2 MB</source>
        <translation>скопировано %1 из %2 МБ</translation>
    </message>
    <message>
        <source>quorvel-check: --copy-to needs a folder</source>
        <translation>quorvel-check: после --copy-to нужна папка</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 МБ</translation>
    </message>
    <message>
        <source>There is not enough room on the stick: %1 needed, %2 free. Nothing is left half-copied; free some room or take another stick.</source>
        <translation>На флешке не хватает места: нужно %1, свободно %2. Ничего не скопировано: освободите место или возьмите другую флешку.</translation>
    </message>
    <message>
        <source>The stick cannot be written (it is read-only or write-protected). Nothing was copied.</source>
        <translation>На флешку нельзя записать (она только для чтения или защищена от записи). Ничего не скопировано.</translation>
    </message>
    <message>
        <source>The stick went away or failed during the copy: the copy is not complete. Insert it again and copy once more.</source>
        <translation>Флешку вынули или она отказала во время копирования: копия неполная. Вставьте её снова и скопируйте ещё раз.</translation>
    </message>
    <message>
        <source>The copy failed: %1.</source>
        <translation>Копирование не удалось: %1.</translation>
    </message>
    <message numerus="yes">
        <source>Copied and read back from the stick: %n station(s)</source>
        <translation>
            <numerusform>Скопировано на флешку и прочитано с неё: %n станция</numerusform>
            <numerusform>Скопировано на флешку и прочитано с неё: %n станции</numerusform>
            <numerusform>Скопировано на флешку и прочитано с неё: %n станций</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n file(s)</source>
        <translation>
            <numerusform>, %n файл</numerusform>
            <numerusform>, %n файла</numerusform>
            <numerusform>, %n файлов</numerusform>
        </translation>
    </message>
    <message>
        <source>; every file reads back as it was on the station.</source>
        <translation>; каждый файл читается с флешки таким же, каким был на станции.</translation>
    </message>
    <message numerus="yes">
        <source> %n answer(s) already differed from the manifest on the station.</source>
        <translation>
            <numerusform> %n ответ уже на станции не совпадал со списком контрольных сумм.</numerusform>
            <numerusform> %n ответа уже на станции не совпадали со списком контрольных сумм.</numerusform>
            <numerusform> %n ответов уже на станции не совпадали со списком контрольных сумм.</numerusform>
        </translation>
    </message>
    <message>
        <source>usage: quorvel-check [FOLDER]
       quorvel-check --answers FOLDER... [--report FILE.html] [--decode]
                     [--seal RECIPIENTS --out DIR]
       quorvel-check --answers FOLDER --copy-to DIR
Checks the task materials in FOLDER/KIM (FOLDER is the station folder, by
default the current one) with the station&apos;s own reader: the subject file,
I.rtf, TestRTF.rtf and every text of each variant folder KIM/0 .. KIM/9
present and of the texts directly in KIM.
With --answers, checks every answer folder Answer_&lt;key&gt; in or under each
FOLDER (a station folder, or a folder of stations collected after the exam,
symbolic links followed): each participant&apos;s eight files there, real Ogg
Vorbis files decoding whole, as long as the station&apos;s journal says and
matching its checksum manifest. An answer the station checked itself and
whose checksum matches is not decoded again; --decode decodes every one.
--report writes a printable HTML page of it, and a CSV file beside it.
--seal RECIPIENTS --out DIR then writes into DIR one archive per station
(its answer folder, journal, manifest and part of the report), encrypted
with age to the public keys in the file RECIPIENTS, and the list
archives.txt of their sizes and SHA-256 (the report, in DIR unless
--report names it, carries the same). The board opens one with
  age -d -i KEY Answer_&lt;key&gt;.tar.age | tar -x
--copy-to DIR copies every station found in FOLDER into DIR (a USB stick),
each into a folder named after its key (an earlier copy that differs is
kept, the new one named with the time), flushes it, reads it back from the
device and compares it with the station&apos;s files, then checks the copy and
writes its report.html into it.
Exit status:
  0  every file good; with --answers: every participant complete
     (remarks in a journal allowed)
  1  a materials file missing or failing; with --answers: anything
     incomplete, damaged, unreadable or missing: a station, a participant,
     a folder given, answer folders with no participant, nothing found
  2  wrong use: an unknown option, a missing argument, RECIPIENTS missing,
     unreadable or without a valid key, no age; for the materials, a
     FOLDER that is not there or holds no KIM
  3  with --answers: every participant complete, but the report, the CSV
     or an archive could not be written (a faulty room exits 1 and says
     so too)
  4  with --copy-to: the copy could not be made or does not read back
     whole (a full, read-only or pulled-out stick)
</source>
        <translation>Использование: quorvel-check [ПАПКА]
       quorvel-check --answers ПАПКА... [--report ФАЙЛ.html] [--decode]
                     [--seal ПОЛУЧАТЕЛИ --out ПАПКА_АРХИВОВ]
       quorvel-check --answers ПАПКА --copy-to КУДА
Проверяет материалы заданий в ПАПКА/KIM (ПАПКА — папка станции, по
умолчанию текущая) тем же чтением, что и станция: файл предмета, I.rtf,
TestRTF.rtf и все тексты каждой папки варианта KIM/0 .. KIM/9 и тексты прямо
в KIM.
С --answers проверяет каждую папку ответов Answer_&lt;ключ&gt; в каждой ПАПКЕ и
глубже (папка станции или папка со станциями, собранными после экзамена,
по символическим ссылкам тоже): восемь файлов каждого участника — настоящие
файлы Ogg Vorbis, которые декодируются целиком, той длины, что записана в
журнале станции, и с контрольной суммой из её списка. Ответ, который
станция проверила сама и контрольная сумма которого совпадает, повторно
не декодируется; --decode декодирует все.
--report записывает отчёт для печати в HTML и рядом с ним файл CSV.
--seal ПОЛУЧАТЕЛИ --out ПАПКА_АРХИВОВ затем записывает в ПАПКУ_АРХИВОВ по
архиву на станцию (папка ответов, журнал, список контрольных сумм и её часть
отчёта), зашифрованному программой age для открытых ключей из файла
ПОЛУЧАТЕЛИ, и список archives.txt с их размерами и SHA-256 (то же есть в
отчёте; он пишется в ПАПКУ_АРХИВОВ, если --report не указан). Комиссия
открывает архив так:
  age -d -i КЛЮЧ Answer_&lt;ключ&gt;.tar.age | tar -x
--copy-to КУДА копирует каждую станцию из ПАПКИ в КУДА (на флешку), каждую в
папку с именем её ключа (прежняя копия, если отличается, сохраняется, а
новая получает в имени время), сбрасывает её на устройство, читает обратно
с устройства и сравнивает с файлами станции, затем проверяет копию и
записывает в неё report.html.
Код завершения:
  0  все файлы в порядке; с --answers: все участники полные
     (замечания в журнале допустимы)
  1  файла материалов нет или он не читается; с --answers: что-то
     неполно, повреждено, не читается или отсутствует: станция, участник,
     заданная папка, папки ответов без участников, ничего не найдено
  2  неверное использование: неизвестный параметр, нет аргумента; файла
     ПОЛУЧАТЕЛИ нет, он не читается или в нём нет верного ключа; нет age;
     для материалов — ПАПКИ нет или в ней нет KIM
  3  с --answers: все участники полные, но отчёт, файл CSV или архив
     записать не удалось (при ошибках код 1, и о записи тоже сказано)
  4  с --copy-to: копию сделать не удалось или она не читается обратно
     целиком (флешка заполнена, защищена от записи или вынута)
</translation>
    </message>
</context>
</TS>
