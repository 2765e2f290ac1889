' addieicon.vbs - puts a Pellorin button on Internet Explorer's toolbar for
' the current user.
'
' The button runs the launcher, rovudir.exe, which brings Pellorin's window
' back or starts Pellorin. Program and icon are the ones beside this script,
' so the button follows the program to wherever it was installed. Pellorin's
' setup dialog starts this script; it shows nothing, and running it again
' only rewrites the same button. Internet Explorer shows the button from its
' next start.
Option Explicit
On Error Resume Next

' The class of toolbar buttons that run a program.
Const RUN_PROGRAM_CLASS = "{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}"

Dim fso, shell, folder, icon, buttonKey
' Pellorin's own extension id: the installer and removeieicon.vbs use it too.
buttonKey = "HKCU\Software\Microsoft\Internet Explorer\Extensions\" & _
    "{9F2E9CA6-3A7C-4425-99DE-326A150CE95F}\"
Set fso = CreateObject("Scripting.FileSystemObject")
Set shell = CreateObject("WScript.Shell")

' The script's own folder, never the working directory: that is whatever
' the program that started us happened to have.
folder = fso.GetParentFolderName(WScript.ScriptFullName)
icon = fso.BuildPath(folder, "pellorin.ico")

shell.RegWrite buttonKey & "ButtonText", "Pellorin", "REG_SZ"
shell.RegWrite buttonKey & "MenuText", "Pellorin", "REG_SZ"
shell.RegWrite buttonKey & "Default Visible", "Yes", "REG_SZ"
shell.RegWrite buttonKey & "Exec", fso.BuildPath(folder, "rovudir.exe"), "REG_SZ"
shell.RegWrite buttonKey & "Icon", icon, "REG_SZ"
shell.RegWrite buttonKey & "HotIcon", icon, "REG_SZ"
' The class last: the browser ignores a button without one, so a run cut
' short never leaves a half-made button behind.
shell.RegWrite buttonKey & "CLSID", RUN_PROGRAM_CLASS, "REG_SZ"
