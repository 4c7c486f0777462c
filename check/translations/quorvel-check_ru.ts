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
        <translation>станций %1 из %2, файлов %3 из %4</translation>
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
        <translation>нет (есть в списке контрольных сумм)</translation>
    </message>
    <message>
        <source>missing</source>
        <translation>нет</translation>
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
        <translation>сбой</translation>
    </message>
    <message>
        <source>none</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>complete</source>
        <translation>полностью</translation>
    </message>
    <message>
        <source>remarks</source>
        <translation>замечания</translation>
    </message>
    <message>
        <source>incomplete</source>
        <translation>неполно</translation>
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
            <numerusform>, полностью %n</numerusform>
            <numerusform>, полностью %n</numerusform>
            <numerusform>, полностью %n</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n with remarks</source>
        <translation>
            <numerusform>, %n с замечаниями</numerusform>
            <numerusform>, %n с замечаниями</numerusform>
            <numerusform>, %n с замечаниями</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n incomplete or damaged</source>
        <translation>
            <numerusform>, %n неполно или повреждено</numerusform>
            <numerusform>, %n неполно или повреждено</numerusform>
            <numerusform>, %n неполно или повреждено</numerusform>
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
        <translation>неисправности</translation>
    </message>
    <message>
        <source>no participant folders</source>
        <translation>нет папок участников</translation>
    </message>
    <message>
        <source>collected by (name)</source>
        <translation>собрал (ФИО)</translation>
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
        <translation>станций без неисправностей</translation>
    </message>
    <message>
        <source>participants</source>
        <translation>участников</translation>
    </message>
    <message>
        <source>complete, with remarks</source>
        <translation>полностью, с замечаниями</translation>
    </message>
    <message>
        <source>incomplete or damaged</source>
        <translation>неполно или повреждено</translation>
    </message>
    <message>
        <source>good</source>
        <translation>в порядке</translation>
    </message>
    <message>
        <source>faulty</source>
        <translation>с неисправностью</translation>
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
            <numerusform> (без неисправностей %n)</numerusform>
            <numerusform> (без неисправностей %n)</numerusform>
            <numerusform> (без неисправностей %n)</numerusform>
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
            <numerusform>: полностью %n</numerusform>
            <numerusform>: полностью %n</numerusform>
            <numerusform>: полностью %n</numerusform>
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
        <translation>, нет: %1</translation>
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
        <translation>повреждена</translation>
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
        <source>usage: quorvel-check [FOLDER]
       quorvel-check --answers FOLDER... [--report FILE.html] [--decode]
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
--report writes a printable HTML page of it.
Exit status:
  0  every file good; with --answers: every participant complete
     (remarks in a journal allowed)
  1  a materials file missing or failing; with --answers: anything
     incomplete, damaged, unreadable or missing: a station, a participant,
     a folder given, answer folders with no participant, nothing found
  2  wrong use: an unknown option, a missing argument; for the materials,
     a FOLDER that is not there or holds no KIM
  3  with --answers: every participant complete, but the report could not
     be written (a faulty room exits 1 and says so too)
</source>
        <translation>Использование: quorvel-check [ПАПКА]
       quorvel-check --answers ПАПКА... [--report ФАЙЛ.html] [--decode]
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
--report записывает отчёт для печати в HTML.
Код выхода:
  0  все файлы в порядке; с --answers: все участники полностью
     (замечания в журнале допустимы)
  1  файла материалов нет или он не читается; с --answers: что-то
     неполно, повреждено, не читается или отсутствует: станция, участник,
     заданная папка, папки ответов без участников, ничего не найдено
  2  неверный вызов: неизвестный параметр, нет аргумента; для материалов —
     ПАПКИ нет или в ней нет KIM
  3  с --answers: все участники полностью, но отчёт записать не удалось
     (при неисправностях код 1, и об отчёте тоже сказано)
</translation>
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
        <translation>На флешке не хватает места: нужно %1, свободно %2. Ничего не осталось скопированным наполовину; освободите место или возьмите другую флешку.</translation>
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
</context>
</TS>
