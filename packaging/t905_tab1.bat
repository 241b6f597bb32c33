REM レイヤ→線幅変換 ①番を画面なしで適用 (t905_tab1)
@echo off
goto START
REM #jww
REM #cd
REM #zw
REM #zz
REM #zc
REM #h1
REM #hc 範囲選択して下さい（①番の線幅をレイヤごとに画面なしで適用します）
REM #g1
REM #ht10
REM #e
:START
REM 別の番号で使うときは、このファイルをコピーして 1 行目の ① と
REM 下の --tab 1 を同じ番号（1～20）に書き換えて下さい。
REM 失敗したときだけ止まり、理由のメッセージを読めるようにします。
"%~dp0t905cli.exe" convert --tab 1
if errorlevel 1 pause
