REM レイヤ→線幅変換 (t905)
@echo off
goto START
REM #jww
REM #cd
REM #zw
REM #zz
REM #zc
REM #h1
REM #hc 範囲選択して下さい（選択した要素の線幅をレイヤごとに変換します）
REM #g1
REM #ht10
REM #e
:START
"%~dp0t905.exe"
