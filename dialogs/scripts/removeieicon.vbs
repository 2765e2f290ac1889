' removeieicon.vbs - takes Pellorin's button off Internet Explorer's toolbar
' for the current user.
'
' Pellorin's setup dialog starts this script; it shows nothing, and does
' nothing when there is no button to remove. Internet Explorer drops the
' button at its next start.
Option Explicit
On Error Resume Next

Dim shell
Set shell = CreateObject("WScript.Shell")

' The whole key of Pellorin's own extension id (the one addieicon.vbs and the
' installer use), whatever values it holds. reg.exe rather than
' WshShell.RegDelete: not every script host implements RegDelete, and
' RegDelete cannot remove a key that has subkeys. Window style 0 keeps
' reg.exe's console out of sight, and waiting lets the button be gone by the
' time the script ends.
shell.Run """%SystemRoot%\System32\reg.exe"" delete " & _
    """HKCU\Software\Microsoft\Internet Explorer\Extensions\" & _
    "{9F2E9CA6-3A7C-4425-99DE-326A150CE95F}"" /f", 0, True
