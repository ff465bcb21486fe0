# SPDX-License-Identifier: MIT
# The tool's fixed texts that every end-to-end run shows, for the runners to
# check once instead of every case repeating them.  Sourced by bash.

# The banner: the first 248 bytes the tool prints in every run.
banner=$'\r\n\r\n------------------------------------\r\n  Programmet forutsetter at filen\r\n\r\n     log.xml\r\n\r\n  ligger i samme directory som\r\n  dette programmet startes fra.\r\n  Resultatet legges i\r\n\r\n     HREFTrack.txt\r\n-------------------------------------\r\n\r\n\r\n'

# The first line of every track the tool writes, without its CR LF.
header='{QTtext}{font:Geneva}{plain}{size:12}{textColor: 65535, 65535, 65535}{backColor: 0, 0, 0}{justify:center}{timeScale:30}{width:160}{height:48}{timeStamps:absolute}{language:0}{textEncoding:0}'
