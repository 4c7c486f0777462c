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
        <source>collected by (name)</source>
        <translation>collected by (name)</translation>
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
        <source>complete, with remarks</source>
        <translation>complete, with remarks</translation>
    </message>
    <message>
        <source>incomplete or damaged</source>
        <translation>incomplete or damaged</translation>
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
        <translation>usage: quorvel-check [FOLDER]
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
</translation>
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
</context>
</TS>
