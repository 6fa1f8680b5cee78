-- SPDX-License-Identifier: GPL-3.0-or-later
-- Orvane — sun-path diagrams.
--
-- Update database of the Orvane desktop program.
--
-- The program connects as 'qorvalen_applic' and runs
--     CALL getApplicationLastUpdateInfo(1);
-- It reads the columns application_update_id (compared, as a base-10 integer,
-- with its own update id) and url_to_download (opened in the browser) of every
-- row returned. The account may run that procedure and nothing else.
--
-- Load as an administrator:  mariadb -u root < orvane_maj.sql
-- Loading it again keeps the published releases, restores the procedure and
-- resets both accounts and their rights.

CREATE DATABASE IF NOT EXISTS qorvalen_applications
    CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci;
USE qorvalen_applications;

-- One row per published release of an application.
--   application_id         the application (Orvane is 1)
--   application_update_id  the release's update id; the client converts the text
--                          to an integer, so it holds digits in practice, but any
--                          text is kept as written
--   url_to_download        the page that the client opens in the browser
--   published              the day the release was published
--   is_current             1 for the release(s) offered to clients, 0 for older ones
--   release_no             order of entry, breaks ties between releases of a day
CREATE TABLE IF NOT EXISTS application_updates (
    release_no            INT UNSIGNED  NOT NULL AUTO_INCREMENT,
    application_id        INT           NOT NULL,
    application_update_id VARCHAR(32)   NOT NULL,
    url_to_download       VARCHAR(2048) NOT NULL,
    published             DATE          NOT NULL,
    is_current            TINYINT(1)    NOT NULL DEFAULT 0,
    PRIMARY KEY (release_no),
    UNIQUE KEY application_release (application_id, application_update_id),
    KEY current_releases (application_id, is_current, published)
) ENGINE = InnoDB;

-- Orvane 2.2, update id 8: the release that the program itself carries, so a
-- client up to date is told that there is nothing newer.
INSERT IGNORE INTO application_updates
    (application_id, application_update_id, url_to_download, published, is_current)
VALUES
    (1, '8', 'https://www.orvane.example/telechargement/', '2024-03-18', 1);

-- Owner of the procedure. It cannot log in; the procedure runs with its rights
-- (reading the releases table), so the client account needs no right on the
-- table itself.
CREATE OR REPLACE USER 'qorvalen_maj_owner'@'localhost' ACCOUNT LOCK;
GRANT SELECT ON qorvalen_applications.application_updates
    TO 'qorvalen_maj_owner'@'localhost';

-- The current release(s) of an application, newest first; releases of the same
-- day come in the order they were entered. No row when nothing is current.
DELIMITER //
CREATE OR REPLACE
    DEFINER = 'qorvalen_maj_owner'@'localhost'
    PROCEDURE getApplicationLastUpdateInfo(IN app_id INT)
    READS SQL DATA
    SQL SECURITY DEFINER
    COMMENT 'Current releases of an application: update id and download address'
BEGIN
    SELECT application_update_id, url_to_download
      FROM application_updates
     WHERE application_id = app_id
       AND is_current = 1
     ORDER BY published DESC, release_no ASC;
END //
DELIMITER ;

-- The server checks the right to execute again under the owner's identity once
-- the procedure switches to it.
GRANT EXECUTE ON PROCEDURE qorvalen_applications.getApplicationLastUpdateInfo
    TO 'qorvalen_maj_owner'@'localhost';

-- The account of the desktop client, from any host. The 'localhost' twin
-- serves connections through the local socket, which would otherwise fall to
-- an anonymous 'localhost' account where one exists. CREATE OR REPLACE drops
-- any right given by hand earlier, so EXECUTE on the procedure is all it has.
CREATE OR REPLACE USER 'qorvalen_applic'@'%' IDENTIFIED BY 'Rk4!wQ~8zNp2';
CREATE OR REPLACE USER 'qorvalen_applic'@'localhost' IDENTIFIED BY 'Rk4!wQ~8zNp2';
GRANT EXECUTE ON PROCEDURE qorvalen_applications.getApplicationLastUpdateInfo
    TO 'qorvalen_applic'@'%';
GRANT EXECUTE ON PROCEDURE qorvalen_applications.getApplicationLastUpdateInfo
    TO 'qorvalen_applic'@'localhost';
