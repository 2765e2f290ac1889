' addstartup.vbs - starts Pellorin when the current user logs on.
'
' The Run entry names the Pellorin.exe beside this script, so it follows the
' program to wherever it was installed. Pellorin's setup dialog starts this
' script; it shows nothing, and running it again only rewrites the entry.
Option Explicit
On Error Resume Next

Dim fso, shell, folder
Set fso = CreateObject("Scripting.FileSystemObject")
Set shell = CreateObject("WScript.Shell")

' The script's own folder, never the working directory: that is whatever
' the program that started us happened to have.
folder = fso.GetParentFolderName(WScript.ScriptFullName)

' Quoted, because Windows cuts an unquoted command line at the first blank
' and install folders often have one.
shell.RegWrite "HKCU\Software\Microsoft\Windows\CurrentVersion\Run\Pellorin", _
    """" & fso.BuildPath(folder, "Pellorin.exe") & """", "REG_SZ"
