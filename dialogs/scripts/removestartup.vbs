' removestartup.vbs - Pellorin no longer starts when the current user logs on.
'
' Pellorin's setup dialog starts this script; it shows nothing, and does
' nothing when there is no entry to remove.
Option Explicit
On Error Resume Next

Dim shell
Set shell = CreateObject("WScript.Shell")

' reg.exe rather than WshShell.RegDelete: not every script host implements
' RegDelete, while reg.exe deletes the same way everywhere. Window style 0
' keeps its console out of sight, and waiting lets the entry be gone by the
' time the script ends.
shell.Run """%SystemRoot%\System32\reg.exe"" delete " & _
    """HKCU\Software\Microsoft\Windows\CurrentVersion\Run"" " & _
    "/v ""Pellorin"" /f", 0, True
