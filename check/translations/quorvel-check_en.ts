<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Check</name>
    <message>
        <source>the same station is also in %1: an identical copy, counted once</source>
        <translation>the same station is also in %1: an identical copy, counted once</translation>
    </message>
    <message>
        <source>stations %1 of %2, files %3 of %4</source>
        <translation>stations %1 of %2, files %3 of %4</translation>
    </message>
    <message>
        <source>, about %1 left</source>
        <translation>, about %1 left</translation>
    </message>
    <message>
        <source>quorvel-check: --report needs a file name</source>
        <translation>quorvel-check: --report needs a file name</translation>
    </message>
    <message>
        <source>quorvel-check: no answer folder Answer_… found</source>
        <translation>quorvel-check: no answer folder Answer_… found</translation>
    </message>
    <message>
        <source>quorvel-check: cannot write the report %1: %2</source>
        <translation>quorvel-check: cannot write the report %1: %2</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>no such file or folder</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <source>not a folder</source>
        <translation>not a folder</translation>
    </message>
    <message>
        <source>input/output error</source>
        <translation>input/output error</translation>
    </message>
    <message>
        <source>too many levels of symbolic links</source>
        <translation>too many levels of symbolic links</translation>
    </message>
    <message>
        <source>a folder, not a file</source>
        <translation>a folder, not a file</translation>
    </message>
    <message>
        <source>not 13 digits</source>
        <translation>not 13 digits</translation>
    </message>
    <message>
        <source>does not begin with 275</source>
        <translation>does not begin with 275</translation>
    </message>
    <message>
        <source>wrong check digit</source>
        <translation>wrong check digit</translation>
    </message>
    <message>
        <source>no journal %1.log</source>
        <translation>no journal %1.log</translation>
    </message>
    <message>
        <source>journal %1.log cannot be read: %2</source>
        <translation>journal %1.log cannot be read: %2</translation>
    </message>
    <message>
        <source>no manifest %1</source>
        <translation>no manifest %1</translation>
    </message>
    <message>
        <source>manifest %1 cannot be read: %2</source>
        <translation>manifest %1 cannot be read: %2</translation>
    </message>
    <message>
        <source>manifest %1 cannot be read</source>
        <translation>manifest %1 cannot be read</translation>
    </message>
    <message>
        <source>answer folder %1 missing from the copy</source>
        <translation>answer folder %1 missing from the copy</translation>
    </message>
    <message>
        <source>answer folder %1 cannot be read: %2</source>
        <translation>answer folder %1 cannot be read: %2</translation>
    </message>
    <message>
        <source>not a participant folder: %1/%2 (%3)</source>
        <translation>not a participant folder: %1/%2 (%3)</translation>
    </message>
    <message>
        <source>folder missing from the copy</source>
        <translation>folder missing from the copy</translation>
    </message>
    <message>
        <source>folder cannot be read: %1</source>
        <translation>folder cannot be read: %1</translation>
    </message>
    <message numerus="yes">
        <source>the manifest lists %n file(s) not there: %1</source>
        <translation>
            <numerusform>the manifest lists %n file not there: %1</numerusform>
            <numerusform>the manifest lists %n files not there: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>missing (listed in the manifest)</source>
        <translation>missing (listed in the manifest)</translation>
    </message>
    <message>
        <source>missing</source>
        <translation>missing</translation>
    </message>
    <message>
        <source>cannot be read: %1</source>
        <translation>cannot be read: %1</translation>
    </message>
    <message>
        <source>a link, not a file</source>
        <translation>a link, not a file</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>is not an Ogg Vorbis file</source>
        <translation>is not an Ogg Vorbis file</translation>
    </message>
    <message>
        <source>does not decode</source>
        <translation>does not decode</translation>
    </message>
    <message>
        <source>is damaged inside, at %1</source>
        <translation>is damaged inside, at %1</translation>
    </message>
    <message>
        <source>stops decoding at %1</source>
        <translation>stops decoding at %1</translation>
    </message>
    <message>
        <source>has no recording-stop line in the journal</source>
        <translation>has no recording-stop line in the journal</translation>
    </message>
    <message>
        <source>decodes to %1 s, the journal says %2 s recorded</source>
        <translation>decodes to %1 s, the journal says %2 s recorded</translation>
    </message>
    <message>
        <source>is %1 s, longer than its period of %2 s</source>
        <translation>is %1 s, longer than its period of %2 s</translation>
    </message>
    <message>
        <source>has no line in the manifest</source>
        <translation>has no line in the manifest</translation>
    </message>
    <message>
        <source>differs from the manifest checksum</source>
        <translation>differs from the manifest checksum</translation>
    </message>
    <message>
        <source>fault</source>
        <translation>fault</translation>
    </message>
    <message>
        <source>none</source>
        <translation>none</translation>
    </message>
    <message>
        <source>complete</source>
        <translation>complete</translation>
    </message>
    <message>
        <source>remarks</source>
        <translation>remarks</translation>
    </message>
    <message>
        <source>incomplete</source>
        <translation>incomplete</translation>
    </message>
    <message>
        <source>journal: %1</source>
        <translation>journal: %1</translation>
    </message>
    <message>
        <source>program unknown</source>
        <translation>program unknown</translation>
    </message>
    <message>
        <source>journal %1 – %2</source>
        <translation>journal %1 – %2</translation>
    </message>
    <message numerus="yes">
        <source>%n participant(s)</source>
        <translation>
            <numerusform>%n participant</numerusform>
            <numerusform>%n participants</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n complete</source>
        <translation>
            <numerusform>, %n complete</numerusform>
            <numerusform>, %n complete</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n with remarks</source>
        <translation>
            <numerusform>, %n with remarks</numerusform>
            <numerusform>, %n with remarks</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n incomplete or damaged</source>
        <translation>
            <numerusform>, %n incomplete or damaged</numerusform>
            <numerusform>, %n incomplete or damaged</numerusform>
        </translation>
    </message>
    <message>
        <source>participant</source>
        <translation>participant</translation>
    </message>
    <message>
        <source>of 8</source>
        <translation>of 8</translation>
    </message>
    <message>
        <source>min</source>
        <translation>min</translation>
    </message>
    <message>
        <source>state</source>
        <translation>state</translation>
    </message>
    <message>
        <source>faults</source>
        <translation>faults</translation>
    </message>
    <message>
        <source>no participant folders</source>
        <translation>no participant folders</translation>
    </message>
    <message>
        <source>signature</source>
        <translation>signature</translation>
    </message>
    <message>
        <source>date</source>
        <translation>date</translation>
    </message>
    <message>
        <source>en</source>
        <extracomment>The language code of the report page</extracomment>
        <translation>en</translation>
    </message>
    <message>
        <source>Answers collected</source>
        <translation>Answers collected</translation>
    </message>
    <message>
        <source>Checked %1 by quorvel-check --answers.</source>
        <translation>Checked %1 by quorvel-check --answers.</translation>
    </message>
    <message>
        <source>stations</source>
        <translation>stations</translation>
    </message>
    <message>
        <source>stations without faults</source>
        <translation>stations without faults</translation>
    </message>
    <message>
        <source>participants</source>
        <translation>participants</translation>
    </message>
    <message>
        <source>good</source>
        <translation>good</translation>
    </message>
    <message>
        <source>faulty</source>
        <translation>faulty</translation>
    </message>
    <message>
        <source>remarks in the journal</source>
        <translation>remarks in the journal</translation>
    </message>
    <message>
        <source>Needs attention</source>
        <translation>Needs attention</translation>
    </message>
    <message>
        <source>nothing: every answer is in order</source>
        <translation>nothing: every answer is in order</translation>
    </message>
    <message>
        <source>folder %1: %2</source>
        <translation>folder %1: %2</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 is not a folder</translation>
    </message>
    <message>
        <source>folder %1 cannot be read: %2</source>
        <translation>folder %1 cannot be read: %2</translation>
    </message>
    <message>
        <source>station %1, room %2, venue %3</source>
        <translation>station %1, room %2, venue %3</translation>
    </message>
    <message>
        <source>Answer_%1 in %2</source>
        <translation>Answer_%1 in %2</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>ok</translation>
    </message>
    <message>
        <source>ok, with remarks in the journal</source>
        <translation>ok, with remarks in the journal</translation>
    </message>
    <message>
        <source>  %1  %2/%3  %4 min  %5</source>
        <translation>  %1  %2/%3  %4 min  %5</translation>
    </message>
    <message>
        <source>      journal: %1</source>
        <translation>      journal: %1</translation>
    </message>
    <message>
        <source>  journal: %1</source>
        <translation>  journal: %1</translation>
    </message>
    <message numerus="yes">
        <source>station Answer_%1: %n participant(s)</source>
        <translation>
            <numerusform>station Answer_%1: %n participant</numerusform>
            <numerusform>station Answer_%1: %n participants</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n station(s)</source>
        <translation>
            <numerusform>%n station</numerusform>
            <numerusform>%n stations</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source> (%n without faults)</source>
        <translation>
            <numerusform> (%n without faults)</numerusform>
            <numerusform> (%n without faults)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n participant(s)</source>
        <translation>
            <numerusform>, %n participant</numerusform>
            <numerusform>, %n participants</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>: %n complete</source>
        <translation>
            <numerusform>: %n complete</numerusform>
            <numerusform>: %n complete</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %n folder(s) not checked</source>
        <translation>
            <numerusform>; %n folder not checked</numerusform>
            <numerusform>; %n folders not checked</numerusform>
        </translation>
    </message>
    <message>
        <source>the same code at %1 (Answer_%2)</source>
        <translation>the same code at %1 (Answer_%2)</translation>
    </message>
    <message>
        <source>quorvel-check: no folder %1</source>
        <translation>quorvel-check: no folder %1</translation>
    </message>
    <message>
        <source>quorvel-check: no folder KIM in %1; give the station folder that holds KIM</source>
        <translation>quorvel-check: no folder KIM in %1; give the station folder that holds KIM</translation>
    </message>
    <message>
        <source>quorvel-check: cannot enter %1</source>
        <translation>quorvel-check: cannot enter %1</translation>
    </message>
    <message>
        <source>variant folders %1 (quorvel)</source>
        <translation>variant folders %1 (quorvel)</translation>
    </message>
    <message>
        <source>task texts directly in KIM (quorvel-flat)</source>
        <translation>task texts directly in KIM (quorvel-flat)</translation>
    </message>
    <message>
        <source>no task texts</source>
        <translation>no task texts</translation>
    </message>
    <message>
        <source>no variant folder KIM/0 .. KIM/9 and no task texts directly in KIM</source>
        <translation>no variant folder KIM/0 .. KIM/9 and no task texts directly in KIM</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s): %1 ok</source>
        <translation>
            <numerusform>%n file: %1 ok</numerusform>
            <numerusform>%n files: %1 ok</numerusform>
        </translation>
    </message>
    <message>
        <source>, %1 missing</source>
        <translation>, %1 missing</translation>
    </message>
    <message>
        <source>, %1 failed</source>
        <translation>, %1 failed</translation>
    </message>
    <message>
        <source>there is &quot;%1&quot;; the letter case must match</source>
        <translation>there is &quot;%1&quot;; the letter case must match</translation>
    </message>
    <message>
        <source>damaged</source>
        <translation>damaged</translation>
    </message>
    <message>
        <source>WMF/EMF metafile</source>
        <translation>WMF/EMF metafile</translation>
    </message>
    <message>
        <source>not PNG or JPEG</source>
        <translation>not PNG or JPEG</translation>
    </message>
    <message>
        <source> (task texts)</source>
        <translation> (task texts)</translation>
    </message>
    <message>
        <source>subject &quot;%1&quot;, answer folders Answer_%2_%3_…</source>
        <translation>subject &quot;%1&quot;, answer folders Answer_%2_%3_…</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>line %1 empty</source>
        <translation>line %1 empty</translation>
    </message>
    <message>
        <source>lines %1 empty</source>
        <translation>lines %1 empty</translation>
    </message>
    <message>
        <source> and </source>
        <translation> and </translation>
    </message>
    <message>
        <source>picture %1 of %2 shows as a blank box (%3)</source>
        <translation>picture %1 of %2 shows as a blank box (%3)</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n pictures show as blank boxes (%2)</source>
        <translation>
            <numerusform>%1 of %n pictures show as blank boxes (%2)</numerusform>
            <numerusform>%1 of %n pictures show as blank boxes (%2)</numerusform>
        </translation>
    </message>
    <message>
        <source>plain text</source>
        <translation>plain text</translation>
    </message>
    <message>
        <source>nothing to show</source>
        <translation>nothing to show</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>%1 differs between the copies: %2 and %3</source>
        <translation>%1 differs between the copies: %2 and %3</translation>
    </message>
    <message>
        <source>the same station is also in %1: a different copy, joined participant by participant</source>
        <translation>the same station is also in %1: a different copy, joined participant by participant</translation>
    </message>
    <message>
        <source>in the copy in %1: %2</source>
        <translation>in the copy in %1: %2</translation>
    </message>
    <message numerus="yes">
        <source>%n answer(s) decoded here: %1</source>
        <translation>
            <numerusform>%n answer decoded here: %1</numerusform>
            <numerusform>%n answers decoded here: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>quorvel-check: unknown option %1 (see quorvel-check --help)</source>
        <translation>quorvel-check: unknown option %1 (see quorvel-check --help)</translation>
    </message>
    <message numerus="yes">
        <source>manifest %1 names %n path(s) outside its answer folder, not followed: %2</source>
        <translation>
            <numerusform>manifest %1 names %n path outside its answer folder, not followed: %2</numerusform>
            <numerusform>manifest %1 names %n paths outside its answer folder, not followed: %2</numerusform>
        </translation>
    </message>
    <message>
        <source>manifest %1 is empty</source>
        <translation>manifest %1 is empty</translation>
    </message>
    <message>
        <source>no participant in the answer folder %1</source>
        <translation>no participant in the answer folder %1</translation>
    </message>
    <message>
        <source>the station&apos;s check names no bytes</source>
        <translation>the station&apos;s check names no bytes</translation>
    </message>
    <message>
        <source>the station checked other bytes</source>
        <translation>the station checked other bytes</translation>
    </message>
    <message>
        <source>found only in the copy in %1</source>
        <translation>found only in the copy in %1</translation>
    </message>
    <message>
        <source>%1 leads nowhere: %2</source>
        <translation>%1 leads nowhere: %2</translation>
    </message>
    <message>
        <source>not an answer: %1</source>
        <translation>not an answer: %1</translation>
    </message>
    <message>
        <source>      found only in the copy in %1</source>
        <translation>      found only in the copy in %1</translation>
    </message>
    <message>
        <source>quorvel-check: %1 needs a file or folder name</source>
        <translation>quorvel-check: %1 needs a file or folder name</translation>
    </message>
    <message>
        <source>quorvel-check: --seal and --out go together</source>
        <translation>quorvel-check: --seal and --out go together</translation>
    </message>
    <message>
        <source>quorvel-check: cannot seal: %1</source>
        <translation>quorvel-check: cannot seal: %1</translation>
    </message>
    <message>
        <source>quorvel-check: %1 not sealed: %2</source>
        <translation>quorvel-check: %1 not sealed: %2</translation>
    </message>
    <message>
        <source>yyyy-MM-dd</source>
        <extracomment>The date format of the report, as QDate::toString takes it</extracomment>
        <translation>yyyy-MM-dd</translation>
    </message>
    <message>
        <source>subject %1</source>
        <translation>subject %1</translation>
    </message>
    <message>
        <source>venue %1 · room %2 · station %3</source>
        <translation>venue %1 · room %2 · station %3</translation>
    </message>
    <message>
        <source>venue %1 · room %2</source>
        <translation>venue %1 · room %2</translation>
    </message>
    <message>
        <source>page %1 of %2</source>
        <extracomment>The page number in the running header of the printed report</extracomment>
        <translation>page %1 of %2</translation>
    </message>
    <message>
        <source>code</source>
        <translation>code</translation>
    </message>
    <message>
        <source>task 1</source>
        <translation>task 1</translation>
    </message>
    <message>
        <source>task 3</source>
        <translation>task 3</translation>
    </message>
    <message>
        <source>Columns: code, the participant&apos;s code spoken (file _00); task 1 (_01); 2.1 … 2.5, the five questions of task 2 (_02_1 … _02_5); task 3 (_03); lengths in minutes:seconds; of 8, the answers in order; min, the minutes recorded.</source>
        <translation>Columns: code, the participant&apos;s code spoken (file _00); task 1 (_01); 2.1 … 2.5, the five questions of task 2 (_02_1 … _02_5); task 3 (_03); lengths in minutes:seconds; of 8, the answers in order; min, the minutes recorded.</translation>
    </message>
    <message>
        <source>every answer in order, remarks in the journal</source>
        <translation>every answer in order, remarks in the journal</translation>
    </message>
    <message>
        <source>an answer missing or faulty</source>
        <translation>an answer missing or faulty</translation>
    </message>
    <message>
        <source>Technician who collected the answers</source>
        <translation>Technician who collected the answers</translation>
    </message>
    <message>
        <source>Head of the exam centre</source>
        <translation>Head of the exam centre</translation>
    </message>
    <message>
        <source>Member of the exam board</source>
        <translation>Member of the exam board</translation>
    </message>
    <message>
        <source>name</source>
        <translation>name</translation>
    </message>
    <message>
        <source>not sealed: %1</source>
        <translation>not sealed: %1</translation>
    </message>
    <message>
        <source>Sealed archive %1, %2 bytes, SHA-256</source>
        <translation>Sealed archive %1, %2 bytes, SHA-256</translation>
    </message>
    <message>
        <source>task 2</source>
        <translation>task 2</translation>
    </message>
    <message>
        <source>summary</source>
        <extracomment>The running header of the report&apos;s summary pages</extracomment>
        <translation>summary</translation>
    </message>
    <message>
        <source>answers collected</source>
        <translation>answers collected</translation>
    </message>
    <message>
        <source>complete</source>
        <comment>count of participants</comment>
        <translation>complete</translation>
    </message>
    <message>
        <source>complete, with remarks</source>
        <comment>count of participants</comment>
        <translation>complete, with remarks</translation>
    </message>
    <message>
        <source>incomplete or damaged</source>
        <comment>count of participants</comment>
        <translation>incomplete or damaged</translation>
    </message>
    <message>
        <source>Sealed archives</source>
        <translation>Sealed archives</translation>
    </message>
    <message>
        <source>station</source>
        <translation>station</translation>
    </message>
    <message>
        <source>archive</source>
        <translation>archive</translation>
    </message>
    <message>
        <source>bytes</source>
        <translation>bytes</translation>
    </message>
    <message>
        <source>centre</source>
        <translation>centre</translation>
    </message>
    <message>
        <source>room</source>
        <translation>room</translation>
    </message>
    <message>
        <source>answer folder</source>
        <translation>answer folder</translation>
    </message>
    <message>
        <source>answer</source>
        <translation>answer</translation>
    </message>
    <message>
        <source>file</source>
        <translation>file</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>seconds</translation>
    </message>
    <message>
        <source>participant&apos;s state</source>
        <translation>participant&apos;s state</translation>
    </message>
    <message>
        <source>no temporary folder: %1</source>
        <translation>no temporary folder: %1</translation>
    </message>
    <message>
        <source>tar: %1</source>
        <translation>tar: %1</translation>
    </message>
    <message>
        <source>tar failed: %1</source>
        <translation>tar failed: %1</translation>
    </message>
    <message>
        <source>age failed: %1</source>
        <translation>age failed: %1</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>cannot write %1</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>cannot write %1: %2</translation>
    </message>
    <message>
        <source>no program age (Debian package age) beside quorvel-check or on PATH</source>
        <translation>no program age (Debian package age) beside quorvel-check or on PATH</translation>
    </message>
    <message>
        <source>no recipients file %1</source>
        <translation>no recipients file %1</translation>
    </message>
    <message>
        <source>recipients file %1 cannot be read: %2</source>
        <translation>recipients file %1 cannot be read: %2</translation>
    </message>
    <message>
        <source>age did not answer</source>
        <translation>age did not answer</translation>
    </message>
    <message>
        <source>recipients file %1 holds no valid public key: %2</source>
        <translation>recipients file %1 holds no valid public key: %2</translation>
    </message>
    <message>
        <source>cannot make the folder %1</source>
        <translation>cannot make the folder %1</translation>
    </message>
    <message>
        <source># quorvel-check --seal, %1: one archive per station, its size in bytes and SHA-256</source>
        <translation># quorvel-check --seal, %1: one archive per station, its size in bytes and SHA-256</translation>
    </message>
    <message>
        <source>not sealed: %1: %2</source>
        <translation>not sealed: %1: %2</translation>
    </message>
    <message>
        <source>quorvel-check: no folder %1 to copy to</source>
        <translation>quorvel-check: no folder %1 to copy to</translation>
    </message>
    <message>
        <source>copied %1 of %2 MB</source>
        <translation>copied %1 of %2 MB</translation>
    </message>
    <message>
        <source>quorvel-check: --copy-to needs a folder</source>
        <translation>quorvel-check: --copy-to needs a folder</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>There is not enough room on the stick: %1 needed, %2 free. Nothing is left half-copied; free some room or take another stick.</source>
        <translation>There is not enough room on the stick: %1 needed, %2 free. Nothing is left half-copied; free some room or take another stick.</translation>
    </message>
    <message>
        <source>The stick cannot be written (it is read-only or write-protected). Nothing was copied.</source>
        <translation>The stick cannot be written (it is read-only or write-protected). Nothing was copied.</translation>
    </message>
    <message>
        <source>The stick went away or failed during the copy: the copy is not complete. Insert it again and copy once more.</source>
        <translation>The stick went away or failed during the copy: the copy is not complete. Insert it again and copy once more.</translation>
    </message>
    <message>
        <source>The copy failed: %1.</source>
        <translation>The copy failed: %1.</translation>
    </message>
    <message numerus="yes">
        <source>Copied and read back from the stick: %n station(s)</source>
        <translation>
            <numerusform>Copied and read back from the stick: %n station</numerusform>
            <numerusform>Copied and read back from the stick: %n stations</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n file(s)</source>
        <translation>
            <numerusform>, %n file</numerusform>
            <numerusform>, %n files</numerusform>
        </translation>
    </message>
    <message>
        <source>; every file reads back as it was on the station.</source>
        <translation>; every file reads back as it was on the station.</translation>
    </message>
    <message numerus="yes">
        <source> %n answer(s) already differed from the manifest on the station.</source>
        <translation>
            <numerusform> %n answer already differed from the manifest on the station.</numerusform>
            <numerusform> %n answers already differed from the manifest on the station.</numerusform>
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
        <translation>usage: quorvel-check [FOLDER]
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
</translation>
    </message>
</context>
</TS>
