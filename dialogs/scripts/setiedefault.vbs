' setiedefault.vbs - gives Internet Explorer its default window title back.
'
' Pellorin tells the browser's windows by the last 8 characters of their
' titles, so a custom title (the current user's "Window Title" value) that
' is too short gets in its way. Removing the value brings back the default
' title. Pellorin starts this script from its Auto button and its setup
' dialog; it shows nothing, and does nothing when no custom title is set.
Option Explicit
On Error Resume Next

Dim shell
Set shell = CreateObject("WScript.Shell")

' reg.exe rather than WshShell.RegDelete: not every script host implements
' RegDelete, while reg.exe deletes the same way everywhere. Window style 0
' keeps its console out of sight, and waiting lets the title be gone by the
' time the script ends. reg.exe finding nothing to delete is not an error.
shell.Run """%SystemRoot%\System32\reg.exe"" delete " & _
    """HKCU\Software\Microsoft\Internet Explorer\Main"" " & _
    "/v ""Window Title"" /f", 0, True
