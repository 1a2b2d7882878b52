-- The database of the terminal management utility. Column order matters: several tables are
-- filled by inserts without a column list. Text widths are those of the edit boxes that fill them.

CREATE TABLE tTerminals (
  fsAddr      VARCHAR(50) NOT NULL PRIMARY KEY,
  fsTermNo    VARCHAR(3),
  fsLocation  VARCHAR(15),
  fnPort      INTEGER,
  fmHoliday   TEXT,
  fmTimeTbl   TEXT,
  fmAccess    TEXT,
  fmAlarm     TEXT,
  fmBlackLst  TEXT,
  fmMessage   TEXT,
  fmSPCEnroll TEXT,
  fmBioUsrLst TEXT,
  fmAdminLst  TEXT,
  fmIDCard    TEXT,
  fmExpired   TEXT,
  fmAxGroup   TEXT
);
CREATE INDEX ixTerminalsTermNo ON tTerminals (fsTermNo);

CREATE TABLE tEmployees (
  fsCardNo  VARCHAR(15) NOT NULL PRIMARY KEY,
  fsIDNo    VARCHAR(30),
  fsName    VARCHAR(100),
  fbPhoto   BLOB,
  fnAcsCode INTEGER,
  fsPIN     VARCHAR(6),
  fnPINTime INTEGER,
  fnAdmin   INTEGER,
  fmBioData TEXT
);
CREATE INDEX ixEmployeesIDNo ON tEmployees (fsIDNo);

-- ftTime is "YYYY-MM-DD HH:MM:SS", so that text order is time order; anything that is not a real
-- date and time is refused (the round trip through a day number turns 30 February into March).
CREATE TABLE tActivities (
  fsCardNo       VARCHAR(15),
  ftTime         TEXT CHECK (ftTime IS NULL OR strftime('%Y-%m-%d %H:%M:%S', julianday(ftTime)) IS ftTime),
  fcDirFlag      VARCHAR(10),
  fsEventFlag    VARCHAR(2),
  fsTermNo       VARCHAR(3),
  fsFunctionCode VARCHAR(10)
);
CREATE INDEX ixActivitiesTime ON tActivities (ftTime);
CREATE INDEX ixActivitiesCard ON tActivities (fsCardNo, ftTime);
CREATE INDEX ixActivitiesTerm ON tActivities (fsTermNo, ftTime);
CREATE INDEX ixActivitiesCodes ON tActivities (fcDirFlag, fsEventFlag);

CREATE TABLE tDirMap (
  fcDirFlag    VARCHAR(10) NOT NULL PRIMARY KEY,
  fsDirCode    VARCHAR(10),
  fsDirDisplay VARCHAR(30)
);
CREATE INDEX ixDirMapCode ON tDirMap (fsDirCode);

CREATE TABLE tEventMap (
  fsEventFlag    VARCHAR(2) NOT NULL PRIMARY KEY,
  fsEventCode    VARCHAR(10),
  fsEventDisplay VARCHAR(30)
);

CREATE TABLE tLogins (
  fsLoginName VARCHAR(15) NOT NULL PRIMARY KEY,
  fsPassword  VARCHAR(128)
);

CREATE TABLE tHoliday (
  fsDate VARCHAR(4) NOT NULL PRIMARY KEY,
  fsDesc VARCHAR(30)
);

CREATE TABLE tTimeTable (
  fnTTCode  INTEGER NOT NULL PRIMARY KEY,
  fsTTDesc  VARCHAR(30),
  fsTTStart VARCHAR(6),
  fsTTEnd   VARCHAR(6),
  fnTTDay   INTEGER
);

CREATE TABLE tAccess (
  fnAcsCode  INTEGER NOT NULL PRIMARY KEY,
  fsAcsDesc  VARCHAR(30),
  fsAcsSpare VARCHAR(30),
  fmAcsTTLst TEXT
);

CREATE TABLE tAlarm (
  fnAlarmCode  INTEGER NOT NULL PRIMARY KEY,
  fsAlarmTime  VARCHAR(4),
  fnAlarmDur   INTEGER CHECK (fnAlarmDur BETWEEN 0 AND 255),
  fnAlarmRelay INTEGER CHECK (fnAlarmRelay BETWEEN 0 AND 3),
  fnAlarmDay   INTEGER
);

CREATE TABLE tExpired (
  fsCardNo  VARCHAR(30) NOT NULL PRIMARY KEY,
  fsExpired VARCHAR(6)
);

-- Direction flags are mapped to codes of the same text, so that transactions stored by the
-- download (mapped code) and by the online monitor (raw flag) both join in the activity browser.
-- Terminals report the direction as a letter or as a digit (0 in, 1 out, as the identify
-- direction parameter counts them); DirectionFlagRows (Schema.cpp) holds the same digit rows
-- for databases made before them.
INSERT INTO tDirMap VALUES ('0', '0', 'In');
INSERT INTO tDirMap VALUES ('1', '1', 'Out');
INSERT INTO tDirMap VALUES ('I', 'I', 'In');
INSERT INTO tDirMap VALUES ('O', 'O', 'Out');
INSERT INTO tDirMap VALUES ('00', '00', 'No Function');

INSERT INTO tEventMap VALUES ('00', '00', 'Access Granted');
INSERT INTO tEventMap VALUES ('01', '01', 'Not In Axgroup');
INSERT INTO tEventMap VALUES ('02', '02', 'Invalid Time');
INSERT INTO tEventMap VALUES ('03', '03', 'Forced Door');
INSERT INTO tEventMap VALUES ('04', '04', 'Rex Button Pressed');
INSERT INTO tEventMap VALUES ('05', '05', 'Door Open');
INSERT INTO tEventMap VALUES ('06', '06', 'Door Open too Long');
INSERT INTO tEventMap VALUES ('07', '07', 'Finger Not Match');
INSERT INTO tEventMap VALUES ('08', '08', 'Finger Not Found');
INSERT INTO tEventMap VALUES ('09', '09', 'Finger Timeout');
